#include "tdictn.h"

#include <QDir>
#include <QFileInfo>
#include <QResource>

#include <algorithm>
#include <cstring>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
const char *const kResource = ":/english.dic";

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// Ordering of two normalised strings: byte by byte, a prefix first.
int compare(const char *a, qsizetype aLen, const char *b, qsizetype bLen)
{
    const int c = std::memcmp(a, b, size_t(std::min(aLen, bLen)));
    if (c != 0)
        return c;
    return aLen < bLen ? -1 : (aLen > bLen ? 1 : 0);
}
} // namespace

TDictn::TDictn(const QString &dir, QObject *parent)
    : QObject(parent), m_path(QDir(dir.isEmpty() ? QDir::currentPath() : dir).filePath(FileName))
{
    // The owner tells the user: this class shows nothing itself.
    if (!OpenWordFile())
        m_error = NotFound;
}

TDictn::~TDictn()
{
    m_file.close();
    // Only remove what is ours: a file we wrote, or one that is exactly our
    // list. A user's own file of that name stays.
    if (m_wroteFile || (QFileInfo::exists(m_path) && [this] {
            QFile f(m_path);
            return f.open(QIODevice::ReadOnly) && f.readAll() == builtInList();
        }()))
        QFile::remove(m_path);
}

QByteArray TDictn::builtInList()
{
    const QResource r(QString::fromLatin1(kResource));
    // The list is stored uncompressed: this is a view of the program's own
    // data, not a copy.
    if (!r.isValid() || r.compressionAlgorithm() != QResource::NoCompression)
        return {};
    return QByteArray::fromRawData(reinterpret_cast<const char *>(r.data()), qsizetype(r.size()));
}

bool TDictn::OpenWordFile()
{
    if (!QFileInfo::exists(m_path)) {
        const QByteArray list = builtInList();
        if (!list.isEmpty()) {
            // Written beside and renamed into place, so a reader never sees
            // half a list. No sync to disk: the file is rebuilt when missing.
            const QString temp = m_path + QStringLiteral(".part");
            QFile out(temp);
            if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(list) == list.size()) {
                out.close();
                m_wroteFile = QFile::rename(temp, m_path);
            }
            if (!m_wroteFile)
                QFile::remove(temp);
        }
    }
    m_open = true;
    m_file.setFileName(m_path);
    // Unbuffered: every probe is one positioned read of one record; a buffer
    // would be thrown away on every seek.
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        m_open = false;
        return false;
    }
    m_lastIndex = int(m_file.size() / RecordSize) - 1;
    m_fd = m_file.handle();
    return true;
}

bool TDictn::readRecord(int index, char *out)
{
    ++m_reads;
    const qint64 offset = qint64(index) * RecordSize;
#ifdef Q_OS_UNIX
    return ::pread(m_fd, out, RecordSize, offset) == RecordSize;
#else
    return m_file.seek(offset) && m_file.read(out, RecordSize) == RecordSize;
#endif
}

bool TDictn::CheckWord(QByteArrayView word)
{
    if (!m_open)
        return false;
    // The key: zero bytes read as spaces, outer spaces dropped, padded with
    // spaces to the key width (a longer key is kept whole, so it never
    // matches a stored word), upper case.
    char key[256];
    const qsizetype n = std::min<qsizetype>(word.size(), 255);
    qsizetype first = 0;
    qsizetype last = n;
    auto at = [&](qsizetype i) { return word[i] == '\0' ? ' ' : word[i]; };
    while (first < last && at(first) == ' ')
        ++first;
    while (last > first && at(last - 1) == ' ')
        --last;
    if (first == last)
        return false;
    qsizetype keyLen = 0;
    for (qsizetype i = first; i < last; ++i)
        key[keyLen++] = upper(at(i));
    while (keyLen < KeyWidth)
        key[keyLen++] = ' ';

    char buf[RecordSize];
    char rec[KeyWidth];
    rec[KeyWidth - 1] = ' ';
    int lo = 0;
    int hi = m_lastIndex;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (!readRecord(mid, buf))
            return false;
        for (int i = 0; i < RecordSize - 1; ++i)
            rec[i] = upper(buf[i + 1]);
        const int c = compare(rec, KeyWidth, key, keyLen);
        if (c == 0)
            return true;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}
