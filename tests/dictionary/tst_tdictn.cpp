#include "tdictn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
    { TDictn spell(dir->path()); }
    QVERIFY(!QFile::exists(path));
}

void TestTDictn::unwritableDirectory()
{
    // A folder that cannot take the file (here: one that is not there, which
    // stops root as well as anybody else).
    const QString nowhere = dir->filePath("missing");
    {
        TDictn spell(nowhere);
        QVERIFY(!spell.isOpen());
        for (const char *w : {"cat", "CAT", "zebra", ""})
            QVERIFY(!spell.CheckWord(w));
        QCOMPARE(spell.recordReads(), 0);
        QCOMPARE(spell.error(), QString("English.dic dictionary not found!"));
    }
}

void TestTDictn::shrinkingFile()
{
    const QString path = dir->filePath("English");
    TDictn spell(dir->path());
    QVERIFY(spell.CheckWord("cat"));
    QVERIFY(::truncate(QFile::encodeName(path).constData(), 15 * 1000) == 0);
    // Probes past the new end read nothing whole: the lookup says no.
    QVERIFY(!spell.CheckWord("zebra"));
    QVERIFY(!spell.CheckWord("cat"));
}

QTEST_GUILESS_MAIN(TestTDictn)
#include "tst_tdictn.moc"
