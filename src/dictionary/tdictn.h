#pragma once
// The word list lookup. The list travels inside the program; at start it is
// written out as the file "English" in the folder the host names (the working
// directory, or the user's data folder for an installed game), unless a file
// of that name is already there, and searched there record by record, so the
// 2.6 MB list never has to sit in memory.

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QObject>
#include <QString>

namespace game {
class WordTree;
}

class TDictn : public QObject {
    Q_OBJECT
public:
    static constexpr int RecordSize = 15;
    static constexpr int KeyWidth = 15;
    static constexpr char RecordMark = '\x1e';
    static inline const QString FileName = QStringLiteral("English");
    static inline const QString NotFound = QStringLiteral("English.dic dictionary not found!");

    // Opens the list in dir (the working directory when empty). A file there
    // that is not a well-formed list, or a folder where it cannot be written,
    // leaves the built-in list searched in memory (one line on standard
    // error). Only when no list can be had at all does error() say so for
    // the owner to tell the user; every lookup then answers false.
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
    // The built-in list as a letter tree, built on first use (by whichever
    // thread asks first) and shared by every caller for the program's life.
    static const game::WordTree &builtInTree();

private:
    bool readRecord(int index, char *out);
    static bool looksLikeAList(QFile &f);
    void useMemory(const char *why);

    QString m_path;
    QString m_error;
    QFile m_file;
    bool m_open = false;
    bool m_wroteFile = false;
    int m_lastIndex = -1;
    int m_fd = -1; // the open file's descriptor, for positioned reads
    QByteArray m_memory; // the built-in list, when no file can serve
    qint64 m_reads = 0;
};
