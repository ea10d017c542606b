#include "klotwords.h"
#include "listsearch.h"
#include "rules.h"
#include "solver.h"
#include "tdictn.h"

#include <QTemporaryDir>
#include <map>
#include <QTest>

using namespace rules;

namespace {

struct Tile {
    int x, y;
    char letter;
};
using Expected = QList<QPair<QByteArray, int>>; // word and score, best first

// Every square used, unless a tile stands there.
Board boardOf(const QList<Tile> &tiles)
{
    Board b{};
    for (auto &column : b)
        column.fill(Removed);
    for (const Tile &t : tiles)
        b[size_t(t.x)][size_t(t.y)] = t.letter - 'A' + 1;
    return b;
}

// A list in the program's own record form.
QByteArray recordsOf(QByteArrayList words)
{
    std::sort(words.begin(), words.end());
    QByteArray out;
    for (const QByteArray &w : words)
        out += TDictn::RecordMark + w.leftJustified(TDictn::RecordSize - 1, ' ');
    return out;
}

} // namespace

Q_DECLARE_METATYPE(QList<Tile>)

class TestSolver : public QObject {
    Q_OBJECT
private slots:
    void bestWordLines_data();
    void bestWordLines();
    void knownBoards_data();
    void knownBoards();
    void bestPathWins();
    void everyKlotWordIsListed();
    void treeAgreesWithTheList();
};

// Scores by hand: letter values (Q 10, G 3, the rest here 1), Double Letter
// at (0,0), Double Word at (1,1), Triple Letter at (2,2) and (2,4), the Bonus
// square (+20) at (3,3), and 20 more for seven letters.
void TestSolver::bestWordLines_data()
{
    QTest::addColumn<QByteArray>("mine");
    QTest::addColumn<int>("points");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("missed") << QByteArray("CAT") << 27 << QByteArray("Best here: STORM for 60 (you: CAT for 27)");
    QTest::newRow("no word") << QByteArray() << 0 << QByteArray("Best here: STORM for 60 (you: no word)");
    // Another word of the same points is no better: the player found the best.
    QTest::newRow("tied") << QByteArray("TOWNS") << 60 << QByteArray("Best here: yours, TOWNS for 60");
    QTest::newRow("the best itself") << QByteArray("STORM") << 60 << QByteArray("Best here: yours, STORM for 60");
}

void TestSolver::bestWordLines()
{
    QFETCH(QByteArray, mine);
    QFETCH(int, points);
    QFETCH(QByteArray, line);
    QCOMPARE(game::bestWordLine({"STORM", {}, 60}, mine, points), line);
}

void TestSolver::knownBoards_data()
{
    QTest::addColumn<QList<Tile>>("tiles");
    QTest::addColumn<QByteArrayList>("list");
    QTest::addColumn<Expected>("expected");
    QTest::newRow("plain squares, no tile twice")
            << QList<Tile>{{1, 2, 'C'}, {2, 3, 'A'}, {3, 2, 'T'}}
            << QByteArrayList{"AT", "CAT", "TAC", "ACT", "CATS", "TAT"} << Expected{{"CAT", 5}, {"TAC", 5}, {"AT", 2}};
    QTest::newRow("Q over every kind of square") << QList<Tile>{{0, 0, 'Q'}, {1, 1, 'U'}, {2, 2, 'I'}, {3, 3, 'T'}}
                                                 << QByteArrayList{"QUIT", "QI", "TI", "IT", "UT", "QUITE"}
                                                 << Expected{{"QUIT", 90}, {"IT", 24}, {"TI", 24}};
    QTest::newRow("seven letters") << QList<Tile>{{0, 1, 'G'}, {0, 2, 'R'}, {1, 3, 'A'}, {2, 3, 'N'}, {3, 2, 'I'},
            {2, 1, 'T'}, {1, 0, 'E'}}
                                   << QByteArrayList{"GRANITE", "GRANITES", "GRAIN", "TINE"}
                                   << Expected{{"GRANITE", 29}};
    QTest::newRow("an empty board") << QList<Tile>{} << QByteArrayList{"AT"} << Expected{};
}

void TestSolver::knownBoards()
{
    QFETCH(QList<Tile>, tiles);
    QFETCH(QByteArrayList, list);
    QFETCH(Expected, expected);
    const QByteArray records = recordsOf(list);
    Expected got;
    for (const game::FoundWord &f : game::solveBoard(boardOf(tiles), {records, TDictn::RecordSize})) {
        got.append({f.word, f.score});
        // The path spells the word over touching tiles.
        QCOMPARE(f.path.size(), size_t(f.word.size()));
        for (size_t k = 1; k < f.path.size(); ++k)
            QVERIFY(touches(f.path[k - 1], f.path[k]));
    }
    QCOMPARE(got, expected);
}

// A word the board holds twice is listed once, on the path worth more.
void TestSolver::bestPathWins()
{
    const Board b = boardOf({{1, 3, 'A'}, {2, 3, 'N'}, {2, 4, 'A'}});
    const QByteArray records = recordsOf({"AN", "NA"});
    const auto found = game::solveBoard(b, {records, TDictn::RecordSize});
    QCOMPARE(found.size(), size_t(2));
    QCOMPARE(found[0].word, QByteArray("AN"));
    QCOMPARE(found[0].score, 4);
    QCOMPARE(found[0].path, (Path{{2, 4}, {2, 3}}));
    QCOMPARE(found[1].path, (Path{{2, 3}, {2, 4}}));
}

// Over many random boards, whatever the computer opponent traces (and the
// built-in list takes) is among the solver's words, worth at least as much.
void TestSolver::everyKlotWordIsListed()
{
    const QByteArray records = TDictn::builtInList();
    QVERIFY(!records.isEmpty());
    QTemporaryDir dir;
    TDictn dictionary(dir.path());
    const KlotWords klot(klotWords());
    QRandomGenerator rng(7);
    int compared = 0;
    for (int round = 0; round < 1000; ++round) {
        Board b{};
        for (auto &column : b)
            for (int &tile : column)
                tile = drawLetter(rng);
        const auto move = klotChoose(b, klot, int(rng.bounded(0, int(klot.words.size()) - 1)));
        if (!move || !dictionary.CheckWord(move->word))
            continue;
        const auto found = game::solveBoard(b, TDictn::builtInTree());
        const auto it = std::find_if(
                found.begin(), found.end(), [&](const game::FoundWord &f) { return f.word == move->word.toUpper(); });
        QVERIFY2(it != found.end(), move->word.constData());
        QVERIFY(it->score >= scoreWord(b, move->path));
        ++compared;
    }
    QVERIFY(compared > 500);
}

QTEST_MAIN(TestSolver)
// Over many seeded boards, the letter tree finds exactly the words the list
// holds, each at its best score, on a path that spells it.
void TestSolver::treeAgreesWithTheList()
{
    const QByteArray records = TDictn::builtInList();
    const game::WordRecords list{records, TDictn::RecordSize};
    QRandomGenerator rng(11);
    for (int round = 0; round < 300; ++round) {
        Board b{};
        for (auto &column : b)
            for (int &tile : column)
                tile = drawLetter(rng);
        ListSearch plain{b, list, {}, {}};
        plain.run();
        std::map<QByteArray, int> listed;
        for (const auto &[record, score] : plain.best)
            listed.emplace(plain.word(record), score);
        std::map<QByteArray, int> tree;
        for (const game::FoundWord &f : game::solveBoard(b, TDictn::builtInTree())) {
            QVERIFY(tree.emplace(f.word, f.score).second);
            QCOMPARE(scoreWord(b, f.path), f.score);
            QByteArray spelt;
            for (const QPoint &p : f.path)
                spelt += char('A' + b[size_t(p.x())][size_t(p.y())] - 1);
            QCOMPARE(spelt, f.word);
        }
        QCOMPARE(tree, listed);
    }
}

#include "tst_solver.moc"
