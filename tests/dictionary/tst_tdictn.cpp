#include "tdictn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray record(const QByteArray &word)
{
    return '\x1e' + word.leftJustified(14, ' ', true);
}
} // namespace

class TestTDictn : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void lookups_data();
    void lookups();
    void firstAndLast();
    void readsPerLookup();
    void writesAndRemovesItsOwnFile();
    void keepsUsersFile();
    void removesAnExactCopy();
    void unwritableDirectory();
    void shrinkingFile();
    void spoiltFiles_data();
    void spoiltFiles();

private:
    std::unique_ptr<QTemporaryDir> dir;
};

void TestTDictn::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestTDictn::cleanup()
{
    // Nothing may be left behind.
    QVERIFY(QDir(dir->path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    dir.reset();
}

void TestTDictn::lookups_data()
{
    QTest::addColumn<QByteArray>("word");
    QTest::addColumn<bool>("found");

    QTest::newRow("upper") << QByteArray("CAT") << true;
    QTest::newRow("lower") << QByteArray("cat") << true;
    QTest::newRow("mixed") << QByteArray("CaT") << true;
    QTest::newRow("spaces around") << QByteArray("  cat  ") << true;
    QTest::newRow("zero bytes count as spaces") << QByteArray("cat\0\0", 5) << true;
    QTest::newRow("plural") << QByteArray("cats") << true;
    QTest::newRow("empty") << QByteArray("") << false;
    QTest::newRow("spaces") << QByteArray("     ") << false;
    QTest::newRow("inner space") << QByteArray("c at") << false;
    QTest::newRow("not a word") << QByteArray("XQZT") << false;
    QTest::newRow("prefix of a word") << QByteArray("CA") << false;
    // Longer words are stored cut to 14 letters: the cut finds them...
    QTest::newRow("cut to 14") << QByteArray("INTERNATIONALI") << true;
    // ...but a longer key never matches, even when its first 14 are stored.
    QTest::newRow("15 letters") << QByteArray("INTERNATIONALIZ") << false;
    QTest::newRow("whole long word") << QByteArray("INTERNATIONALIZATION") << false;
    QTest::newRow("very long") << QByteArray(400, 'A') << false;
}

void TestTDictn::lookups()
{
    QFETCH(QByteArray, word);
    QFETCH(bool, found);
    TDictn spell(dir->path());
    QVERIFY(spell.isOpen());
    QCOMPARE(spell.CheckWord(word), found);
    QVERIFY(spell.error().isEmpty());
}

void TestTDictn::firstAndLast()
{
    const QByteArray list = TDictn::builtInList();
    TDictn spell(dir->path());
    const QByteArray first = list.mid(1, 14).trimmed();
    const QByteArray last = list.right(14).trimmed();
    QVERIFY(spell.CheckWord(first));
    QVERIFY(spell.CheckWord(last));
    QCOMPARE(spell.lastIndex(), int(list.size() / 15) - 1);
}

void TestTDictn::readsPerLookup()
{
    TDictn spell(dir->path());
    const QByteArray list = TDictn::builtInList();
    const int n = int(list.size() / 15);
    qint64 worst = 0;
    // Every 97th record, the ends, and words that fall between records.
    for (int i = 0; i < n; i += 97) {
        for (const QByteArray &w : {list.mid(i * 15 + 1, 14).trimmed(), list.mid(i * 15 + 1, 14).trimmed() + "Q"}) {
            const qint64 before = spell.recordReads();
            spell.CheckWord(w);
            worst = std::max(worst, spell.recordReads() - before);
        }
    }
    QVERIFY2(worst <= 18, qPrintable(QString::number(worst)));
    QVERIFY(worst >= 17); // the search really probes the file
}

void TestTDictn::writesAndRemovesItsOwnFile()
{
    const QString path = dir->filePath("English");
    {
        TDictn spell(dir->path());
        QVERIFY(QFile::exists(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), TDictn::builtInList());
    }
    QVERIFY(!QFile::exists(path));
}

void TestTDictn::keepsUsersFile()
{
    const QString path = dir->filePath("English");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(record("APPLE") + record("PEAR"));
    }
    {
        TDictn spell(dir->path());
        // The existing file is used as it is; the built-in list is not written.
        QVERIFY(spell.CheckWord("pear"));
        QVERIFY(!spell.CheckWord("cat"));
        QCOMPARE(QFileInfo(path).size(), 30);
    }
    QVERIFY(QFile::exists(path));
    QFile::remove(path);
}

void TestTDictn::removesAnExactCopy()
{
    const QString path = dir->filePath("English");
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(TDictn::builtInList());
    }
    {
        TDictn spell(dir->path());
    }
    QVERIFY(!QFile::exists(path));
}

void TestTDictn::unwritableDirectory()
{
    // A folder that cannot take the file (here: one that is not there, which
    // stops root as well as anybody else): the built-in list serves from
    // memory, and nobody is bothered.
    const QString nowhere = dir->filePath("missing");
    TDictn spell(nowhere);
    QVERIFY(spell.isOpen());
    QVERIFY(spell.error().isEmpty());
    QVERIFY(spell.CheckWord("cat"));
    QVERIFY(spell.CheckWord("ZEBRA"));
    QVERIFY(!spell.CheckWord("XQZT"));
    QVERIFY(!QFileInfo::exists(nowhere));
}

void TestTDictn::shrinkingFile()
{
    const QString path = dir->filePath("English");
    TDictn spell(dir->path());
    QVERIFY(spell.CheckWord("cat"));
    QVERIFY(::truncate(QFile::encodeName(path).constData(), 15 * 1000) == 0);
    // Probes past the new end read nothing whole: the built-in list answers.
    QVERIFY(spell.CheckWord("zebra"));
    QVERIFY(spell.CheckWord("cat"));
    QVERIFY(!spell.CheckWord("xqzt"));
}

void TestTDictn::spoiltFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a folder") << "folder";
    QTest::newRow("a named pipe") << "pipe";
    QTest::newRow("truncated mid-record") << "truncated";
    QTest::newRow("random bytes of the right size") << "random";
    QTest::newRow("records out of order") << "unsorted";
    QTest::newRow("empty") << "empty";
}

// Whatever is called "English" in the working directory, hosting starts at
// once, real words are accepted, and the thing itself is left as it was.
void TestTDictn::spoiltFiles()
{
    QFETCH(QString, kind);
    const QString path = dir->filePath("English");
    QByteArray bytes;
    if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "pipe") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        if (kind == "truncated")
            bytes = TDictn::builtInList().left(15 * 5000 + 7);
        else if (kind == "random") {
            bytes.resize(TDictn::builtInList().size());
            QRandomGenerator rng(7);
            for (char &c : bytes)
                c = char(rng.bounded(256));
        } else if (kind == "unsorted") {
            for (const char *w : {"ZEBRA", "CAT", "APPLE", "DOG"})
                bytes += record(w);
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QElapsedTimer t;
    t.start();
    {
        TDictn spell(dir->path());
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(spell.isOpen());
        QVERIFY(spell.error().isEmpty());
        for (const char *w : {"cat", "zebra", "apple", "quiz"})
            QVERIFY2(spell.CheckWord(w), w);
        QVERIFY(!spell.CheckWord("xqzt"));
    }
    // Nothing of the user's is deleted or changed.
    const QFileInfo info(path);
    if (kind == "folder") {
        QVERIFY(info.isDir());
        QVERIFY(QDir().rmdir(path));
    } else if (kind == "pipe") {
        QVERIFY(info.exists() && !info.isFile());
        QVERIFY(QFile::remove(path));
    } else {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bytes);
        f.close();
        QVERIFY(QFile::remove(path));
    }
}

QTEST_GUILESS_MAIN(TestTDictn)
#include "tst_tdictn.moc"
