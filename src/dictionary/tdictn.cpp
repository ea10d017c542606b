#include "tdictn.h"
#include "logging.h"

#include "solver.h"

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
    OpenWordFile();
}

TDictn::~TDictn()
{
    m_file.close();
    // Only remove what is ours: a file we wrote, or one that is exactly our
    // list. A user's own file of that name stays.
    // (Only a regular file of the list's size is read: never a pipe.)
    const QFileInfo info(m_path);
    if (m_wroteFile || (info.isFile() && info.size() == builtInList().size() && [this] {
            QFile f(m_path);
            return f.open(QIODevice::ReadOnly) && f.readAll() == builtInList();
        }()))
        QFile::remove(m_path);
}

const game::WordTree &TDictn::builtInTree()
{
    static const game::WordTree tree({builtInList(), RecordSize});
    return tree;
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

// A file of ours, or a player's own list, is used only when it reads as a
// list: a whole number of records, the record mark where we look, and the
// records we sample in order. Anything else (a folder, a pipe, a truncated
// or scrambled file) is left as it is and the built-in list is searched in
// memory instead.
bool TDictn::looksLikeAList(QFile &f)
{
    const qint64 size = f.size();
    if (size <= 0 || size % RecordSize != 0)
        return false;
    const qint64 records = size / RecordSize;
    const qint64 samples = std::min<qint64>(records, 64);
    QByteArray previous;
    for (qint64 k = 0; k < samples; ++k) {
        const qint64 index = samples == 1 ? 0 : k * (records - 1) / (samples - 1);
        char rec[RecordSize];
        if (!f.seek(index * RecordSize) || f.read(rec, RecordSize) != RecordSize || rec[0] != RecordMark)
            return false;
        QByteArray text(rec + 1, RecordSize - 1);
        for (char &c : text)
            c = upper(c);
        if (!previous.isNull() && compare(previous.constData(), previous.size(), text.constData(), text.size()) > 0)
            return false;
        previous = text;
    }
    return true;
}

void TDictn::useMemory(const char *why)
{
    m_file.close();
    m_fd = -1;
    m_memory = builtInList();
    m_open = !m_memory.isEmpty();
    m_lastIndex = int(m_memory.size() / RecordSize) - 1;
    qCWarning(lcFiles, "the word list file %s %s; using the built-in list", qPrintable(m_path), why);
}

bool TDictn::OpenWordFile()
{
    m_error.clear();
    QFileInfo info(m_path);
    if (!info.exists() && !info.isSymLink()) {
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
        info.refresh();
    }
    m_open = false;
    // Only a regular file is opened: a pipe of that name would block here.
    if (!info.exists()) {
        useMemory("cannot be written here");
    } else if (!info.isFile()) {
        useMemory("is not a regular file");
    } else {
        m_file.setFileName(m_path);
        // Unbuffered: every probe is one positioned read of one record; a
        // buffer would be thrown away on every seek.
        if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            useMemory("cannot be read");
        } else if (!looksLikeAList(m_file)) {
            useMemory("is not a word list");
        } else {
            m_open = true;
            m_lastIndex = int(m_file.size() / RecordSize) - 1;
            m_fd = m_file.handle();
        }
    }
    if (!m_open)
        m_error = NotFound;
    return m_open;
}

bool TDictn::readRecord(int index, char *out)
{
    ++m_reads;
    const qint64 offset = qint64(index) * RecordSize;
    if (!m_memory.isNull()) {
        if (offset + RecordSize > m_memory.size())
            return false;
        std::memcpy(out, m_memory.constData() + offset, RecordSize);
        return true;
    }
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
        // A file that changed under us (cut short, overwritten) is left
        // for the built-in list, and the word looked up again there.
        if (!readRecord(mid, buf) || buf[0] != RecordMark) {
            if (!m_memory.isNull())
                return false;
            useMemory("changed while in use");
            return m_open && CheckWord(word);
        }
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
