#include "rules.h"

#include <QTest>

using namespace rules;

Q_DECLARE_METATYPE(rules::Path)

namespace {
// A board of plain letters from a 49-character string, row by row (y outer
// in the text, so it reads like the board).
Board boardFrom(const char *rows)
{
    Board b{};
    for (int y = 0; y < Size; ++y)
        for (int x = 0; x < Size; ++x) {
            const char c = rows[y * Size + x];
            b[x][y] = c == '*' ? Removed : (c >= 'a' && c <= 'z' ? c - 'a' + 1 : 0);
        }
    return b;
}

Board filled(char letter)
{
    Board b{};
    for (auto &col : b)
        col.fill(letter - 'a' + 1);
    return b;
}

void put(Board &b, QPoint p, char letter)
{
    b[p.x()][p.y()] = letter - 'a' + 1;
}
} // namespace

class TestRules : public QObject {
    Q_OBJECT
private slots:
    void letterSupplyTable_data();
    void letterSupplyTable();
    void letterWeights();
    void values_data();
    void values();
    void bonusSquares_data();
    void bonusSquares();
    void scoring_data();
    void scoring();
    void paths_data();
    void paths();
    void shifts_data();
    void shifts();
    void turnOrder_data();
    void turnOrder();
    void winners_data();
    void winners();
    void klotBounds();
    void klotFirstLetterInColumnZero();
    void klotNeverRepeats();
    void klotWordOrder();
    void klotSearchMatchesTrace();
};

void TestRules::letterSupplyTable_data()
{
    QTest::addColumn<int>("r");
    QTest::addColumn<char>("letter");
    const struct {
        int r;
        char l;
    } rows[] = {{1, 'a'}, {9, 'a'}, {10, 'e'}, {21, 'e'}, {22, 'i'}, {38, 'o'}, {41, 'u'}, {46, 'd'}, {49, 'g'},
            {51, 'h'}, {55, 'l'}, {57, 'm'}, {63, 'n'}, {65, 'p'}, {71, 'r'}, {75, 's'}, {81, 't'}, {83, 'y'},
            {85, 'b'}, {87, 'c'}, {89, 'f'}, {90, 'j'}, {91, 'k'}, {93, 'w'}, {94, 'q'}, {96, 'v'}, {97, 'x'},
            {98, 'z'}};
    for (const auto &row : rows)
        QTest::addRow("%d", row.r) << row.r << row.l;
}

void TestRules::letterSupplyTable()
{
    QFETCH(int, r);
    QFETCH(char, letter);
    QCOMPARE(convertoletter(letterForDraw(r)), letter);
}

void TestRules::letterWeights()
{
    // Chi-square against the weights, fixed seed: 25 degrees of freedom, so
    // a correct supply stays far below the 0.1% critical value of 52.6.
    const int weights[27] = {0, 9, 2, 2, 5, 12, 2, 3, 2, 9, 1, 1, 4, 2, 6, 8, 2, 1, 6, 4, 6, 3, 2, 2, 1, 2, 1};
    QRandomGenerator rng(20261207);
    std::array<int, 27> count{};
    const int draws = 98000;
    for (int i = 0; i < draws; ++i) {
        const int code = drawLetter(rng);
        QVERIFY(code >= 1 && code <= 26);
        ++count[code];
    }
    double chi = 0;
    for (int c = 1; c <= 26; ++c) {
        const double expected = draws * weights[c] / 98.0;
        chi += (count[c] - expected) * (count[c] - expected) / expected;
    }
    QVERIFY2(chi < 52.6, qPrintable(QString::number(chi)));
}

void TestRules::values_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<char>("letter");
    QTest::addColumn<int>("value");
    for (char c : QByteArray("adeilnorstu"))
        QTest::addRow("%c", c) << (c - 'a' + 1) << c << 1;
    for (char c : QByteArray("bcghmpy"))
        QTest::addRow("%c", c) << (c - 'a' + 1) << c << 3;
    for (char c : QByteArray("fjkw"))
        QTest::addRow("%c", c) << (c - 'a' + 1) << c << 5;
    QTest::newRow("v") << 22 << 'v' << 7;
    for (char c : QByteArray("qxz"))
        QTest::addRow("%c", c) << (c - 'a' + 1) << c << 10;
    QTest::newRow("empty") << 0 << 't' << 1;
    QTest::newRow("removed") << 27 << '*' << 1;
    QTest::newRow("29") << 29 << '*' << 1;
    QTest::newRow("30") << 30 << 't' << 1;
    QTest::newRow("negative") << -3 << 't' << 1;
}

void TestRules::values()
{
    QFETCH(int, code);
    QFETCH(char, letter);
    QFETCH(int, value);
    QCOMPARE(convertoletter(code), letter);
    QCOMPARE(letterworth(code), value);
}

void TestRules::bonusSquares_data()
{
    QTest::addColumn<QPoint>("square");
    QTest::addColumn<int>("bonus"); // for a letter worth 3
    QTest::newRow("centre") << QPoint(3, 3) << 20;
    for (QPoint p : {QPoint(0, 0), QPoint(6, 0), QPoint(0, 6), QPoint(6, 6)})
        QTest::addRow("DL %d,%d", p.x(), p.y()) << p << 3;
    for (QPoint p : {QPoint(2, 2), QPoint(4, 2), QPoint(2, 4), QPoint(4, 4)})
        QTest::addRow("TL %d,%d", p.x(), p.y()) << p << 6;
    for (QPoint p : {QPoint(1, 1), QPoint(5, 1), QPoint(1, 5), QPoint(5, 5)})
        QTest::addRow("DW %d,%d", p.x(), p.y()) << p << 500;
    for (QPoint p : {QPoint(3, 0), QPoint(0, 3), QPoint(6, 3), QPoint(3, 6)})
        QTest::addRow("TW %d,%d", p.x(), p.y()) << p << 1000;
    for (QPoint p : {QPoint(1, 0), QPoint(2, 3), QPoint(3, 2), QPoint(5, 6), QPoint(1, 2)})
        QTest::addRow("plain %d,%d", p.x(), p.y()) << p << 0;
}

void TestRules::bonusSquares()
{
    QFETCH(QPoint, square);
    QFETCH(int, bonus);
    QCOMPARE(anybonus(square.x(), square.y(), 3), bonus);
}

void TestRules::scoring_data()
{
    QTest::addColumn<QByteArray>("letters");
    QTest::addColumn<Path>("path");
    QTest::addColumn<int>("score");

    // S on Triple Word (3,0), T, O plain, R on Double Word (1,1)... laid out
    // as a path: (3,0) S, (2,0) T, (1,0) O, (1,1) R, (0,0) M (Double Letter).
    QTest::newRow("STORM") << QByteArray("storm") << Path{{3, 0}, {2, 0}, {1, 0}, {1, 1}, {0, 0}} << 60;
    // Bonus square and a Double Word: (letters + 20) x 2.
    QTest::newRow("bonus + DW") << QByteArray("cat") << Path{{1, 1}, {2, 2}, {3, 3}} << (3 + 1 * 3 + 1 + 20) * 2;
    // Two Triple Words multiply by 9: (3,0) and (0,3) cannot touch, so use a
    // longer path: (3,0)(2,1)(1,2)(0,3).
    QTest::newRow("TW + TW") << QByteArray("dogs") << Path{{3, 0}, {2, 1}, {1, 2}, {0, 3}} << (1 + 1 + 3 + 1) * 9;
    // A Double and a Triple Word: x6. (1,1) DW then (2,0), (3,0) TW.
    QTest::newRow("DW + TW") << QByteArray("pen") << Path{{1, 1}, {2, 0}, {3, 0}} << (3 + 1 + 1) * 6;
    // Seven letters: 20 after the multipliers. (0,3) TW ... along row 3:
    // (0,3) TW, (1,3), (2,3), (3,3) Bonus, (4,3), (5,3), (6,3) TW.
    QTest::newRow("seven") << QByteArray("planets") << Path{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}}
                           << (3 + 1 + 1 + 1 + 20 + 1 + 1 + 1) * 9 + 20;
    QTest::newRow("two letters") << QByteArray("ax") << Path{{2, 1}, {2, 2}} << 1 + 10 * 3;
    QTest::newRow("plain") << QByteArray("zoo") << Path{{1, 2}, {1, 3}, {1, 4}} << 12;
}

void TestRules::scoring()
{
    QFETCH(QByteArray, letters);
    QFETCH(Path, path);
    QFETCH(int, score);
    Board b = filled('e');
    for (qsizetype i = 0; i < letters.size(); ++i)
        put(b, path[size_t(i)], letters[i]);
    QCOMPARE(scoreWord(b, path), score);
}

void TestRules::paths_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<bool>("touching");
    QTest::newRow("right") << QPoint(3, 3) << QPoint(4, 3) << true;
    QTest::newRow("up") << QPoint(3, 3) << QPoint(3, 2) << true;
    QTest::newRow("diagonal") << QPoint(3, 3) << QPoint(2, 4) << true;
    QTest::newRow("other diagonal") << QPoint(0, 0) << QPoint(1, 1) << true;
    QTest::newRow("same") << QPoint(3, 3) << QPoint(3, 3) << false;
    QTest::newRow("knight") << QPoint(3, 3) << QPoint(4, 5) << false;
    QTest::newRow("gap of two") << QPoint(3, 3) << QPoint(5, 3) << false;
    QTest::newRow("far") << QPoint(0, 0) << QPoint(6, 6) << false;
}

void TestRules::paths()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(bool, touching);
    QCOMPARE(touches(a, b), touching);
    QCOMPARE(touches(b, a), touching);
}

void TestRules::shifts_data()
{
    QTest::addColumn<int>("direction");
    QTest::addColumn<QByteArray>("line"); // one column (down/up) or row (left/right), index 0..6
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("down") << 1 << QByteArray("a*b*cde") << QByteArray("**abcde");
    QTest::newRow("up") << 3 << QByteArray("a*b*cde") << QByteArray("abcde**");
    QTest::newRow("left") << 2 << QByteArray("a*b*cde") << QByteArray("abcde**");
    QTest::newRow("right") << 4 << QByteArray("a*b*cde") << QByteArray("**abcde");
    QTest::newRow("other code is down") << 9 << QByteArray("a*b*cde") << QByteArray("**abcde");
    QTest::newRow("down, all removed") << 1 << QByteArray("*******") << QByteArray("*******");
    QTest::newRow("down, ends") << 1 << QByteArray("abcdef*") << QByteArray("*abcdef");
    QTest::newRow("up, start") << 3 << QByteArray("*bcdefg") << QByteArray("bcdefg*");
    QTest::newRow("right, end") << 4 << QByteArray("abcdef*") << QByteArray("*abcdef");
    QTest::newRow("left, start") << 2 << QByteArray("**cd*fg") << QByteArray("cdfg***");
}

void TestRules::shifts()
{
    QFETCH(int, direction);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expected);
    const bool column = direction != 2 && direction != 4;
    // Every column (or row) of the board carries the same line, shifted by
    // its index in the alphabet so that lines cannot be mixed up.
    auto code = [](char c, int k) { return c == '*' ? Removed : (c - 'a' + k) % 26 + 1; };
    Board b{};
    for (int k = 0; k < Size; ++k)
        for (int i = 0; i < Size; ++i)
            (column ? b[k][i] : b[i][k]) = code(line[i], k);
    shift(b, direction);
    for (int k = 0; k < Size; ++k)
        for (int i = 0; i < Size; ++i)
            QCOMPARE(column ? b[k][i] : b[i][k], code(expected[i], k));
}

void TestRules::turnOrder_data()
{
    QTest::addColumn<QByteArray>("humans"); // seats with a connected user
    QTest::addColumn<bool>("team");
    QTest::addColumn<QList<int>>("order"); // the seats from game start, one cycle and the next first
    QTest::newRow("solo") << QByteArray("1") << false << QList<int>{1, 2, 1};
    QTest::newRow("1 and 3") << QByteArray("13") << false << QList<int>{1, 2, 3, 1};
    QTest::newRow("team 1 and 2") << QByteArray("12") << true << QList<int>{1, 2, 1};
    QTest::newRow("team 1, 2, 3") << QByteArray("123") << true << QList<int>{1, 2, 3, 4, 1};
    QTest::newRow("team 1 and 4") << QByteArray("14") << true << QList<int>{1, 2, 3, 4, 1};
    QTest::newRow("all four") << QByteArray("1234") << false << QList<int>{1, 2, 3, 4, 1};
    QTest::newRow("only seat 3") << QByteArray("3") << false << QList<int>{2, 3, 2};
}

void TestRules::turnOrder()
{
    QFETCH(QByteArray, humans);
    QFETCH(bool, team);
    QFETCH(QList<int>, order);
    Seating s;
    s.teamgame = team;
    for (char c : humans)
        s.active[c - '0'] = true;
    int seat = 0;
    for (int expected : order) {
        seat = nextSeat(seat, s);
        QCOMPARE(seat, expected);
    }
}

void TestRules::winners_data()
{
    QTest::addColumn<bool>("team");
    QTest::addColumn<QList<int>>("scores"); // seats 1..4, then teams A and B
    QTest::addColumn<QByteArray>("winner"); // empty: play on
    QTest::newRow("below target") << false << QList<int>{90, 80, 0, 0, 90, 80} << QByteArray();
    QTest::newRow("alone in the lead") << false << QList<int>{120, 80, 0, 0, 120, 80} << QByteArray("Ann");
    QTest::newRow("tie at the top") << false << QList<int>{120, 120, 0, 0, 120, 120} << QByteArray();
    QTest::newRow("leader below target but another over")
            << false << QList<int>{100, 130, 0, 0, 100, 130} << QByteArray("Klot");
    QTest::newRow("seat 3 wins") << false << QList<int>{10, 20, 300, 0, 310, 20} << QByteArray("Cy");
    QTest::newRow("teams tie at target") << true << QList<int>{50, 50, 50, 50, 100, 100} << QByteArray();
    QTest::newRow("team A") << true << QList<int>{60, 50, 50, 40, 110, 90} << QByteArray("Team A");
    QTest::newRow("team B") << true << QList<int>{10, 50, 0, 60, 10, 110} << QByteArray("Team B");
    QTest::newRow("teams below") << true << QList<int>{60, 90, 30, 0, 90, 90} << QByteArray();
}

void TestRules::winners()
{
    QFETCH(bool, team);
    QFETCH(QList<int>, scores);
    QFETCH(QByteArray, winner);
    Standing s;
    s.teamgame = team;
    s.playto = 100;
    for (int i = 1; i <= 4; ++i)
        s.score[i] = scores[i - 1];
    s.teamscore = {scores[4], scores[5]};
    s.name = {QByteArray(), "Ann", "", "Cy", ""};
    const auto got = rules::winner(s);
    QCOMPARE(got.value_or(QByteArray()), winner);
}

void TestRules::klotBounds()
{
    // "cats" can only be traced by stepping into column 0 after the c.
    Board b = boardFrom("eeeeeee"
                        "cleeeee"
                        "aeeeeee"
                        "teeeeee"
                        "seeeeee"
                        "eeeeeee"
                        "eeeeeee");
    // The c at (0,1) starts it; a at (0,2) is in column 0: not reachable.
    QVERIFY(!checkforthere(b, "cats"));
    // Moved one column right, the same word is found.
    Board c = boardFrom("eeeeeee"
                        "ecleeee"
                        "eaeeeee"
                        "eteeeee"
                        "eseeeee"
                        "eeeeeee"
                        "eeeeeee");
    const auto path = checkforthere(c, "cats");
    QVERIFY(path);
    QCOMPARE(*path, (Path{{1, 1}, {1, 2}, {1, 3}, {1, 4}}));
    // Row 0 is out of reach after the first letter too.
    Board d = boardFrom("ecateee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee");
    QVERIFY(!checkforthere(d, "cat"));
}

void TestRules::klotFirstLetterInColumnZero()
{
    Board b = boardFrom("eeeeeee"
                        "ceeeeee"
                        "eaeeeee"
                        "eteeeee"
                        "eseeeee"
                        "eeeeeee"
                        "eeeeeee");
    const auto path = checkforthere(b, "cats");
    QVERIFY(path);
    QCOMPARE(path->front(), QPoint(0, 1));
    QCOMPARE(path->size(), size_t(4));
}

void TestRules::klotNeverRepeats()
{
    // "eee..." would walk back onto its own squares greedily: refused.
    Board b = filled('x');
    put(b, {3, 3}, 'a');
    put(b, {3, 4}, 'b');
    // a, b, a: the only a next to b is the first square.
    QVERIFY(!checkforthere(b, "aba"));
    // Over many random boards and words, no path repeats a square.
    QRandomGenerator rng(3);
    const QByteArrayList words = {"eerie", "tattoo", "banana", "assess", "teeter", "eel", "deeded"};
    for (int round = 0; round < 2000; ++round) {
        Board r{};
        for (auto &col : r)
            for (int &code : col)
                code = 1 + int(rng.bounded(5)) * 4; // a, e, i, m, q
        for (const QByteArray &w : words) {
            if (const auto p = checkforthere(r, w)) {
                QCOMPARE(p->size(), size_t(w.size()));
                for (size_t i = 0; i < p->size(); ++i) {
                    if (i > 0)
                        QVERIFY(touches((*p)[i], (*p)[i - 1]));
                    for (size_t k = 0; k < i; ++k)
                        QVERIFY((*p)[i] != (*p)[k]);
                }
            }
        }
    }
}

void TestRules::klotWordOrder()
{
    Board b = boardFrom("eeeeeee"
                        "etoneee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee"
                        "eeeeeee");
    // Index 0 is never tried; words of 3 letters are skipped; the list wraps
    // to index 1.
    const QByteArrayList words = {"tone", "one", "toon", "nope", "tone"};
    auto m = klotChoose(b, KlotWords(words), 3);
    QVERIFY(m);
    QCOMPARE(m->word, QByteArray("tone"));
    // The first neighbour tried is the one below.
    QCOMPARE(m->path, (Path{{1, 1}, {2, 1}, {3, 1}, {3, 2}}));
    const QByteArrayList none = {"tone", "zzzz", "qqqq"};
    QVERIFY(!klotChoose(b, KlotWords(none), 0));
}

// The table-driven search must give exactly the greedy trace's answers.
void TestRules::klotSearchMatchesTrace()
{
    QRandomGenerator rng(77);
    const QByteArrayList words = {"tone", "eerie", "banana", "attest", "rarer", "sense", "tenet", "aaaa", "otto",
            "street", "letters", "queen", "zebra", "eel", "tee", "t*t", "toolongword"};
    int traced = 0;
    for (int round = 0; round < 3000; ++round) {
        Board b{};
        for (auto &col : b)
            for (int &code : col)
                code = round % 3 == 0 ? 1 + int(rng.bounded(6)) * 4 : drawLetter(rng);
        if (round % 7 == 0)
            b[rng.bounded(7)][rng.bounded(7)] = round % 2 ? Removed : Empty;
        const KlotSearch search(b);
        const KlotWords prepared(words);
        for (const auto &w : prepared.words) {
            const auto slow = checkforthere(b, w.text);
            QCOMPARE(search.trace(w), slow);
            QCOMPARE(search.trace(w.text), slow);
            traced += slow ? 1 : 0;
        }
    }
    QVERIFY(traced > 100); // the comparison covered found words too
}

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
