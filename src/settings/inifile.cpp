#include "inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QByteArray headerName(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.size() < 2 || !t.startsWith('[') || !t.endsWith(']'))
        return {};
    return t.mid(1, t.size() - 2).trimmed();
}

bool isHeader(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return t.startsWith('[') && t.endsWith(']');
}

bool isComment(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    return t.startsWith(';') || t.startsWith('#');
}

QByteArray keyOf(const QByteArray &line)
{
    const qsizetype eq = line.indexOf('=');
    return eq < 0 || isComment(line) ? QByteArray() : line.left(eq).trimmed();
}

// A file this large is nobody's settings.
constexpr qint64 MaxSize = 1 << 20;
} // namespace

std::optional<IniFile> IniFile::parse(const QByteArray &bytes)
{
    if (bytes.contains('\0'))
        return std::nullopt;
    IniFile ini;
    if (bytes.isEmpty())
        return ini;
    ini.m_eol = bytes.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    ini.m_finalEol = bytes.endsWith('\n');
    QByteArray body = bytes;
    if (ini.m_finalEol)
        body.chop(1);
    for (QByteArray &line : body.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        ini.m_lines << line;
    }
    return ini;
}

qsizetype IniFile::sectionStart(const QByteArray &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (headerName(m_lines[i]).compare(section, Qt::CaseInsensitive) == 0 && isHeader(m_lines[i]))
            return i;
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype start) const
{
    qsizetype i = start + 1;
    while (i < m_lines.size() && !isHeader(m_lines[i]))
        ++i;
    return i;
}

std::optional<QByteArray> IniFile::value(const QByteArray &section, const QByteArray &key) const
{
    const qsizetype start = sectionStart(section);
    if (start < 0)
        return std::nullopt;
    const qsizetype end = sectionEnd(start);
    for (qsizetype i = start + 1; i < end; ++i) {
        // A carriage return inside a line reads as the space it is written
        // back as, so a value reads the same before and after a save.
        if (keyOf(m_lines[i]).compare(key, Qt::CaseInsensitive) == 0)
            return m_lines[i].mid(m_lines[i].indexOf('=') + 1).replace('\r', ' ');
    }
    return std::nullopt;
}

void IniFile::setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    // One line per key: a line break in a value would start another.
    QByteArray v = value;
    v.replace('\r', ' ').replace('\n', ' ');
    const QByteArray line = key + '=' + v;
    qsizetype start = sectionStart(section);
    if (start < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QByteArray();
        m_lines << '[' + section + ']' << line;
        return;
    }
    const qsizetype end = sectionEnd(start);
    qsizetype last = start;
    for (qsizetype i = start + 1; i < end; ++i) {
        if (keyOf(m_lines[i]).compare(key, Qt::CaseInsensitive) == 0) {
            m_lines[i] = line;
            return;
        }
        if (!m_lines[i].trimmed().isEmpty())
            last = i;
    }
    m_lines.insert(last + 1, line);
}

QByteArray IniFile::text() const
{
    QByteArray out = m_lines.join(m_eol);
    if (m_finalEol && !m_lines.isEmpty())
        out += m_eol;
    return out;
}

IniFile SettingsFile::read()
{
    m_broken = false;
    const QFileInfo info(m_path);
    if (!info.exists())
        return {};
    // Only a regular file of a sane size is read: a folder or a pipe of that
    // name must not stop the program.
    QFile f(m_path);
    std::optional<IniFile> ini;
    if (info.isFile() && info.size() <= MaxSize && f.open(QIODevice::ReadOnly))
        ini = IniFile::parse(f.read(MaxSize + 1));
    if (!ini) {
        m_broken = true;
        return {};
    }
    return *ini;
}

bool SettingsFile::write(const IniFile &ini)
{
    // A folder or other non-file of that name is not ours to move.
    const QFileInfo info(m_path);
    if (info.exists() && !info.isFile())
        return false;
    if (m_broken) {
        QString aside = m_path + QStringLiteral(".bad");
        for (int n = 2; QFileInfo::exists(aside); ++n)
            aside = m_path + QStringLiteral(".bad%1").arg(n);
        if (!QFile::rename(m_path, aside))
            return false;
        m_broken = false;
    }
    QSaveFile out(m_path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(ini.text());
    if (m_failNext) {
        m_failNext = false;
        out.cancelWriting();
        out.commit();
        return false;
    }
    return out.commit();
}
