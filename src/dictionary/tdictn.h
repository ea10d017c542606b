#pragma once
// The word list lookup. The list travels inside the program; at start it is
// written out as the file "English" in the working directory (unless a file
// of that name is already there) and searched there record by record, so the
// 2.6 MB list never has to sit in memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QObject>
#include <QString>

class TDictn : public QObject {
    Q_OBJECT
public:
    static constexpr int RecordSize = 15;
    static constexpr int KeyWidth = 15;
    static inline const QString FileName = QStringLiteral("English");
    static inline const QString NotFound = QStringLiteral("English.dic dictionary not found!");

    // Opens the list in dir (the working directory when empty). When it cannot
    // be opened, error() says so for the owner to tell the user, and every
    // lookup answers false.
    explicit TDictn(const QString &dir = QString(), QObject *parent = nullptr);
    ~TDictn() override;

    bool OpenWordFile();
    bool CheckWord(QByteArrayView word);

    bool isOpen() const { return m_open; }
    // What the user should be told about the list (empty when all is well).
    const QString &error() const { return m_error; }
    int lastIndex() const { return m_lastIndex; }
    // Records read since creation (every probe of a lookup reads one).
    qint64 recordReads() const { return m_reads; }

    // The built-in list, byte for byte.
    static QByteArray builtInList();

private:
    bool readRecord(int index, char *out);

    QString m_path;
    QString m_error;
    QFile m_file;
    bool m_open = false;
    bool m_wroteFile = false;
    int m_lastIndex = -1;
    int m_fd = -1; // the open file's descriptor, for positioned reads
    qint64 m_reads = 0;
};
