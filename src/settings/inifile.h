#pragma once
// An ini file kept line by line, so that a write changes only our own keys:
// other sections, unknown keys, comments, spacing and line endings survive
// as they were. Values are the plain text after the first "=", nothing
// unquoted or unescaped, so what a user writes by hand reads back exactly.

#include <QByteArray>
#include <QList>
#include <optional>

class IniFile {
public:
    IniFile() = default;
    // Nothing that reads as text (a NUL byte) is not an ini file.
    static std::optional<IniFile> parse(const QByteArray &bytes);

    // Sections and keys are matched without regard to case.
    std::optional<QByteArray> value(const QByteArray &section, const QByteArray &key) const;
    void setValue(const QByteArray &section, const QByteArray &key, const QByteArray &value);
    QByteArray text() const;

private:
    qsizetype sectionStart(const QByteArray &section) const; // the header's line, or -1
    qsizetype sectionEnd(qsizetype start) const; // the next header, or the end
    QList<QByteArray> m_lines;
    QByteArray m_eol = "\r\n";
    bool m_finalEol = true;
};

// The settings file on disk: read whole, changed in memory, written beside
// and renamed into place, so a reader never sees half a file and a failed
// write leaves the old one.
class SettingsFile {
public:
    explicit SettingsFile(QString path) : m_path(std::move(path)) { }
    const QString &path() const { return m_path; }

    // The file as it is; an empty one when it is missing or does not read as
    // ini (then broken() is true and the file is left alone).
    IniFile read();
    bool broken() const { return m_broken; }
    // Applies the change to the file as it now is and writes it. A file that
    // did not read as ini is kept aside first (path + ".bad", or ".bad2"...
    // when that exists). False when nothing could be written.
    template <class Edit> bool update(Edit edit)
    {
        IniFile ini = read();
        edit(ini);
        return write(ini);
    }
    bool write(const IniFile &ini);
    // Tests: make the next write fail at its very end, as a crash or a full
    // disk would, before the new file replaces the old.
    void failNextWrite() { m_failNext = true; }

private:
    QString m_path;
    bool m_broken = false;
    bool m_failNext = false;
};
