// A game's review as a file: a record made from real boards and the solver's
// words is written and read back the same; a damaged file is refused whole,
// with the line at fault, and the review open in the dialog stays as it was.

#include "gamerecord.h"
#include "messages.h"
#include "reviewdialog.h"
#include "boardpicture.h"
#include "solver.h"
#include "tdictn.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Turns as a game gives them: each board seeded, the word played one of its
// lesser words (or none), the best its best.
GameRecord recordOf(int turns)
{
    GameRecord r;
    r.player = "Ann <b>&";
    for (int i = 0; i < turns; ++i) {
        ReviewTurn t;
        QRandomGenerator rng(quint32(i + 1));
        for (auto &column : t.board)
            for (int &tile : column)
                tile = rules::drawLetter(rng);
        t.board[3][3] = rules::Empty; // a gap, as after a slide
        const std::vector<game::FoundWord> found = game::solveBoard(t.board, TDictn::builtInTree());
        if (found.empty())
            continue;
        t.best = found.front().word;
        t.bestPoints = found.front().score;
        t.bestPath = found.front().path;
        if (i % 3 != 2) {
            const game::FoundWord &played = found[found.size() / 2];
            t.word = played.word;
            t.points = played.score;
            t.path = played.path;
        }
        r.turns << t;
    }
    return r;
}

} // namespace

class TestGameRecord : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writtenAndReadBack();
    void damagedRefused_data();
    void damagedRefused();
    void dialogShowsAndKeeps();
};

void TestGameRecord::initTestCase()
{
    QTemporaryDir dir;
    TDictn dictionary(dir.path()); // the built-in tree is the list's
    ui::setMessageSink([](const QString &) {});
}

void TestGameRecord::writtenAndReadBack()
{
    const GameRecord r = recordOf(12);
    QVERIFY(r.turns.size() >= 10);
    QString error;
    const auto back = GameRecord::fromText(r.toText(), &error);
    QVERIFY2(back, qPrintable(error));
    QCOMPARE(*back, r);
    // Line ends as another system writes them read the same.
    QByteArray crlf = r.toText();
    crlf.replace("\n", "\r\n");
    QCOMPARE(*GameRecord::fromText(crlf, &error), r);
}

void TestGameRecord::damagedRefused_data()
{
    QTest::addColumn<int>("line"); // 0: the whole file
    QTest::addColumn<QString>("why");
    QTest::addColumn<QByteArray>("text");
    const QByteArray good = recordOf(3).toText();
    const QByteArrayList lines = good.split('\n');
    const QByteArray turn = lines[2];
    const auto with = [&](const QByteArray &changed) { return lines[0] + '\n' + lines[1] + '\n' + changed + '\n'; };
    QByteArrayList f = turn.split(' ');
    const auto field = [&](int k, const QByteArray &value) {
        QByteArrayList g = f;
        g[k] = value;
        return with(g.join(' '));
    };
    QByteArray lowerBoard = f[1];
    lowerBoard[0] = 'a';
    const QByteArrayList squares = f[7].split(';');
    QByteArrayList reversed(squares.rbegin(), squares.rend());
    QTest::newRow("empty file") << 1 << QStringLiteral("not a Wordmire") << QByteArray();
    QTest::newRow("another kind of file") << 1 << QStringLiteral("not a Wordmire") << QByteArray("\x89PNG\r\n\x1a\n");
    QTest::newRow("a later version") << 1 << QStringLiteral("not a Wordmire")
                                     << QByteArray(good).replace("record 1", "record 2");
    QTest::newRow("no player") << 2 << QStringLiteral("name is missing") << QByteArray(lines[0] + "\nturn x\n");
    QTest::newRow("a name past any player's")
            << 2 << QStringLiteral("too long") << QByteArray(lines[0] + "\nplayer " + QByteArray(65, 'a') + '\n');
    QTest::newRow("a field missing") << 3 << QStringLiteral("eight fields") << with(turn.left(turn.lastIndexOf(' ')));
    QTest::newRow("a field too many") << 3 << QStringLiteral("eight fields") << with(turn + " 5");
    QTest::newRow("two spaces") << 3 << QStringLiteral("eight fields") << with(QByteArray(turn).replace(' ', "  "));
    QTest::newRow("board short") << 3 << QStringLiteral("board") << field(1, f[1].left(48));
    QTest::newRow("board in lower case") << 3 << QStringLiteral("board") << field(1, lowerBoard);
    QTest::newRow("word with a digit") << 3 << QStringLiteral("word does not read") << field(5, "AB1");
    QTest::newRow("word of eight letters") << 3 << QStringLiteral("word does not read") << field(5, "ABCDEFGH");
    QTest::newRow("negative points") << 3 << QStringLiteral("Points do not") << field(6, "-5");
    QTest::newRow("signed points") << 3 << QStringLiteral("Points do not") << field(6, "+5");
    QTest::newRow("points past any game") << 3 << QStringLiteral("Points do not") << field(6, "100000");
    QTest::newRow("path off the board") << 3 << QStringLiteral("does not fit")
                                        << field(7, QByteArray(f[7]).replace(0, 1, "7"));
    QTest::newRow("path a letter short") << 3 << QStringLiteral("does not fit")
                                         << field(7, f[7].left(f[7].lastIndexOf(';')));
    QTest::newRow("path that jumps") << 3 << QStringLiteral("does not fit") << field(7, "0,0;2,2" + f[7].mid(7));
    QTest::newRow("path through a square twice")
            << 3 << QStringLiteral("does not fit") << field(7, f[7].left(3) + ';' + f[7].left(3) + f[7].mid(7));
    QTest::newRow("word not where its path runs")
            << 3 << QStringLiteral("where its path runs") << field(7, reversed.join(';'));
    QByteArrayList noBest = f;
    noBest[5] = noBest[7] = "-";
    QTest::newRow("points for no word") << 3 << QStringLiteral("for no word") << with(noBest.join(' '));
    QTest::newRow("too large") << 0 << QStringLiteral("too large")
                               << QByteArray(good + QByteArray(GameRecord::MaxBytes, '\n'));
}

void TestGameRecord::damagedRefused()
{
    QFETCH(int, line);
    QFETCH(QString, why);
    QFETCH(QByteArray, text);
    QString error;
    QVERIFY(!GameRecord::fromText(text, &error));
    QVERIFY2(error.contains(why), qPrintable(error));
    if (line > 0)
        QVERIFY2(error.startsWith(QStringLiteral("Line %1:").arg(line)), qPrintable(error));
}

// Through the dialog: the review shows each turn and the sum, is saved and
// opened again the same, and a damaged file is told and changes nothing.
void TestGameRecord::dialogShowsAndKeeps()
{
    QStringList told;
    ui::setMessageSink([&told](const QString &text) { told << text; });
    const GameRecord r = recordOf(6);
    ReviewDialog dialog(nullptr);
    dialog.setRecord(r);
    dialog.show();
    QCOMPARE(dialog.table()->rowCount(), r.turns.size() + 1);
    QCOMPARE(dialog.table()->item(int(r.turns.size()), 5)->text(), QStringLiteral("%1%").arg(r.share()));
    QCOMPARE(dialog.table()->item(1, 3)->text(), QString::fromLatin1(r.turns[1].best));
    dialog.table()->setCurrentCell(1, 0);
    QCOMPARE(dialog.picture()->board(), r.turns[1].board);
    QCOMPARE(dialog.picture()->path(), r.turns[1].bestPath);
    QCOMPARE(dialog.picture()->played(), r.turns[1].path);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("game.wmr"));
    QVERIFY(dialog.saveTo(file));
    ReviewDialog other(nullptr);
    QVERIFY(other.openFrom(file));
    QCOMPARE(other.record(), r);

    QFile damaged(file);
    QVERIFY(damaged.open(QIODevice::Append));
    damaged.write("turn nonsense\n");
    damaged.close();
    QVERIFY(!other.openFrom(file));
    QCOMPARE(other.record(), r);
    QVERIFY(!told.isEmpty() && told.last().contains(QStringLiteral("Line %1").arg(r.turns.size() + 3)));
    QVERIFY(!other.openFrom(dir.filePath(QStringLiteral("none.wmr"))));
    QVERIFY(!dialog.saveTo(dir.filePath(QStringLiteral("no/such/folder/game.wmr"))));
    QCOMPARE(told.size(), 3);
    ui::setMessageSink(nullptr);
}

QTEST_MAIN(TestGameRecord)
#include "tst_gamerecord.moc"
