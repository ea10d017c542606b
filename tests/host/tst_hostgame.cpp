#include "hostharness.h"
#include "tempworkdir.h"
#include "klotwords.h"

#include <map>

#include <QTest>

namespace {
// The board of a CMD_theboard message.
rules::Board parseBoard(const QByteArray &msg)
{
    rules::Board b{};
    wire::FieldReader r(wire::splitMessage(msg).data);
    r.beginGroups();
    while (r.moreGroups()) {
        const int x = r.number();
        const int y = r.number();
        b[x][y] = r.number();
    }
    return b;
}

rules::Board filled(char letter)
{
    rules::Board b{};
    for (auto &col : b)
        col.fill(letter - 'a' + 1);
    return b;
}

// Lays a word along a path of squares.
void lay(rules::Board &b, const QByteArray &word, const rules::Path &path)
{
    for (qsizetype i = 0; i < word.size(); ++i)
        b[path[size_t(i)].x()][path[size_t(i)].y()] = word[i] - 'a' + 1;
}

QByteArray done(int seat, const rules::Path &path)
{
    QByteArray t = "CMD_playerdone+" + QByteArray::number(seat);
    for (size_t i = 0; i < path.size(); ++i)
        t += '+' + QByteArray::number(int(i + 1)) + '+' + QByteArray::number(path[i].x()) + '+'
                + QByteArray::number(path[i].y());
    return t + FF;
}

QList<QByteArray> commands(const QList<QByteArray> &messages)
{
    QList<QByteArray> out;
    for (const QByteArray &msg : messages)
        out << msg.left(msg.indexOf('+'));
    return out;
}
} // namespace

class TestHostGame : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void gameStart();
    void teamFlag_data();
    void teamFlag();
    void startRefused_data();
    void startRefused();
    void shuffles();
    void wordRefillsOnlyUsedSquares();
    void resubmitAfterNotValid();
    void sevenLetterBonus();
    void badSubmissions_data();
    void badSubmissions();
    void selectionRelays();
    void turnOrder_data();
    void turnOrder();
    void targetWaitsForCycle();
    void tiesPlayOn();
    void teamTiePlaysOn();
    void klotWins();
    void directionRequests();
    void lateJoinerCatchesUp();
    void klotPlaysSevenLetters();
    void klotWaitsForReturningUser();
    void klotWithNothingToTrace_data();
    void klotWithNothingToTrace();
    void leaverTurnGoesToKlot();
    void wholeSoloGame();

private:
    void startGame(const QByteArray &team = "f", int playto = 500, int time = 60, int shuffles = 1);
    void stepTurn(int ticks);
    void stepKlot(int ticks);
    RawClient *a = nullptr;
    TempWorkDir workDir;
    std::unique_ptr<HostHarness> h;
};

void TestHostGame::init()
{
    h = std::make_unique<HostHarness>();
    QVERIFY(h->listening);
    a = h->joinAs(1, "You");
    QVERIFY(a);
}

void TestHostGame::cleanup()
{
    h.reset();
}

void TestHostGame::startGame(const QByteArray &team, int playto, int time, int shuffles)
{
    a->write(m("CMD_startgame+You+" + QByteArray::number(playto) + "+" + QByteArray::number(time) + "+" + team + "+"
            + QByteArray::number(shuffles) + "+"));
    QVERIFY(a->waitForMessages(4));
    settle(30);
}

void TestHostGame::stepTurn(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        h->host->Timer1Timer();
    settle(30);
}

void TestHostGame::stepKlot(int ticks)
{
    for (int i = 0; i < ticks; ++i)
        h->host->computertimerTimer();
    settle(30);
}

void TestHostGame::gameStart()
{
    startGame();
    QCOMPARE(commands(a->messages),
            (QList<QByteArray>{"CMD_startgame", "CMD_theboard", "CMD_theboard", "CMD_nextplayer"}));
    QCOMPARE(a->messages[0], QByteArray("CMD_startgame+You+500+60+f+1+"));
    QCOMPARE(a->messages[1], a->messages[2]);
    QCOMPARE(a->messages[3], QByteArray("CMD_nextplayer+1+1+"));
    const rules::Board b = parseBoard(a->messages[1]);
    for (const auto &col : b)
        for (int code : col)
            QVERIFY(code >= 1 && code <= 26);
    QCOMPARE(b, h->host->game().state().board);
    QVERIFY(h->host->game().state().gameon);
    QCOMPARE(h->host->game().state().timeleft, 64);
}

void TestHostGame::teamFlag_data()
{
    QTest::addColumn<QByteArray>("flag");
    QTest::addColumn<bool>("team");
    QTest::newRow("t") << QByteArray("t") << true;
    QTest::newRow("T") << QByteArray("T") << false;
    QTest::newRow("true") << QByteArray("true") << false;
    QTest::newRow("f") << QByteArray("f") << false;
}

void TestHostGame::teamFlag()
{
    QFETCH(QByteArray, flag);
    QFETCH(bool, team);
    startGame(flag);
    QCOMPARE(h->host->game().state().teamgame, team);
    QCOMPARE(a->messages[0], "CMD_startgame+You+500+60+" + flag + "+1+");
}

void TestHostGame::startRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("play-to not a number") << QByteArray("CMD_startgame+You+lots+60+f+1+");
    QTest::newRow("time not a number") << QByteArray("CMD_startgame+You+500+6o+f+1+");
    QTest::newRow("shuffles not a number") << QByteArray("CMD_startgame+You+500+60+f+one+");
    QTest::newRow("fields missing") << QByteArray("CMD_startgame+You+500");
    QTest::newRow("time overflowing") << QByteArray("CMD_startgame+You+500+2147483647+f+1+");
}

void TestHostGame::startRefused()
{
    QFETCH(QByteArray, request);
    a->write(m(request));
    settle(150);
    QVERIFY(a->messages.isEmpty());
    QVERIFY(!h->host->game().state().gameon);
    QVERIFY(!h->host->Timer1.isActive());
    // A bad restart leaves a running game as it was.
    startGame();
    a->messages.clear();
    const rules::Board before = h->host->game().state().board;
    a->write(m(request));
    settle(150);
    QVERIFY(a->messages.isEmpty());
    QVERIFY(h->host->game().state().gameon);
    QCOMPARE(h->host->game().state().curplayer, 1);
    QCOMPARE(h->host->game().state().board, before);
    QVERIFY(h->host->Timer1.isActive());
}

void TestHostGame::shuffles()
{
    RawClient *b = h->joinAs(2, "Ann");
    QVERIFY(b);
    startGame("f", 500, 25, 1);
    h->clearAll();
    stepTurn(3);
    QCOMPARE(h->host->game().state().timeleft, 26);
    b->write(m("CMD_shuffle+2+")); // not Ann's turn
    settle(100);
    QVERIFY(a->messages.isEmpty());
    a->write(m("CMD_shuffle+1+"));
    QVERIFY(b->waitForMessages(2));
    QCOMPARE(b->messages[0], QByteArray("CMD_useshuffle+1+0+38+")); // 26 + 25 div 2
    QCOMPARE(commands({b->messages[1]}), QList<QByteArray>{"CMD_theboard"});
    QCOMPARE(parseBoard(b->messages[1]), h->host->game().state().board);
    h->clearAll();
    a->write(m("CMD_shuffle+1+")); // none left
    settle(100);
    QVERIFY(a->messages.isEmpty());
    QCOMPARE(h->host->game().state().timeleft, 38);
}

void TestHostGame::wordRefillsOnlyUsedSquares()
{
    startGame();
    rules::Board b = filled('e');
    const rules::Path path{{1, 1}, {1, 2}, {1, 3}};
    lay(b, "cat", path);
    h->host->game().state().board = b;
    a->messages.clear();
    a->write(done(1, path));
    QVERIFY(a->waitForMessages(1));
    // c on a Double Word square: (3 + 1 + 1) x 2.
    QCOMPARE(a->take(), QByteArray("CMD_madeword+1+CAT+10+10+10+0+1+1+1+2+1+3"));
    const int dir = h->host->game().state().direction;
    QVERIFY(dir >= 1 && dir <= 4);
    QCOMPARE(h->host->Tag(), 2);
    stepTurn(5);
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), "CMD_moving+" + QByteArray::number(dir) + "+");
    stepTurn(4);
    QVERIFY(a->waitForMessages(2));
    const rules::Board after = parseBoard(a->take());
    QCOMPARE(a->take(), QByteArray("CMD_nextplayer+2+1+"));
    rules::Board shifted = b;
    for (const QPoint &p : path)
        shifted[p.x()][p.y()] = rules::Removed;
    rules::shift(shifted, dir);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) {
            if (shifted[x][y] == rules::Removed)
                QVERIFY(after[x][y] >= 1 && after[x][y] <= 26);
            else
                QCOMPARE(after[x][y], shifted[x][y]);
        }
}

void TestHostGame::resubmitAfterNotValid()
{
    startGame();
    rules::Board b = filled('e');
    const rules::Path bad{{4, 4}, {4, 5}, {4, 6}};
    const rules::Path good{{2, 1}, {3, 1}, {4, 1}};
    lay(b, "xqz", bad);
    lay(b, "dog", good);
    h->host->game().state().board = b;
    a->messages.clear();
    a->write(done(1, bad));
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_notvalid+1+XQZ+"));
    QCOMPARE(h->host->game().state().curplayer, 1);
    QVERIFY(h->host->Timer1.isActive());
    a->write(done(1, good));
    QVERIFY(a->waitForMessages(1));
    QVERIFY(a->take().startsWith("CMD_madeword+1+DOG+"));
    // The turn is over: nothing more is taken.
    a->write(done(1, good));
    settle(100);
    QVERIFY(a->messages.isEmpty());
    QCOMPARE(h->host->game().state().seats[1].score, 5);
}

void TestHostGame::sevenLetterBonus()
{
    startGame();
    rules::Board b = filled('e');
    const rules::Path path{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {5, 3}, {5, 4}};
    lay(b, "planets", path);
    h->host->game().state().board = b;
    a->messages.clear();
    a->write(done(1, path));
    QVERIFY(a->waitForMessages(2));
    // p l a n e t s: 3 + 1 + 1x3 (TL) + 1 + 1x3 (TL) + 1 + 1 = 13, + 20.
    QCOMPARE(a->messages[0], QByteArray("CMD_madeword+1+PLANETS+33+33+33+0+1+2+2+2+3+2+4+2+5+2+5+3+5+4"));
    QCOMPARE(a->messages[1], QByteArray("CMD_bonus+1+20+"));
}

void TestHostGame::badSubmissions_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("repeated square") << QByteArray("CMD_playerdone+1+1+1+1+2+1+2+3+1+1");
    QTest::newRow("repeated at 7") << QByteArray("CMD_playerdone+1+1+1+1+2+1+2+3+1+3+4+1+4+5+2+4+6+2+3+7+1+4");
    QTest::newRow("knight step") << QByteArray("CMD_playerdone+1+1+1+1+2+2+3");
    QTest::newRow("gap of two at 4") << QByteArray("CMD_playerdone+1+1+1+1+2+1+2+3+1+3+4+1+5");
    QTest::newRow("off the board") << QByteArray("CMD_playerdone+1+1+6+6+2+7+6");
    QTest::newRow("negative") << QByteArray("CMD_playerdone+1+1+-1+0+2+0+0");
    QTest::newRow("entry 0") << QByteArray("CMD_playerdone+1+0+1+1");
    QTest::newRow("entry 8") << QByteArray("CMD_playerdone+1+1+1+1+8+1+2");
    QTest::newRow("eight tiles") << QByteArray("CMD_playerdone+1+1+1+1+2+1+2+3+1+3+4+1+4+5+1+5+6+2+5+7+2+4+8+2+3");
    QTest::newRow("bad number") << QByteArray("CMD_playerdone+1+1+x+1");
    QTest::newRow("nothing") << QByteArray("CMD_playerdone+1");
}

void TestHostGame::badSubmissions()
{
    QFETCH(QByteArray, request);
    startGame();
    // Every square spells "e": any path would be a word if it got that far.
    h->host->game().state().board = filled('e');
    a->messages.clear();
    a->write(m(request));
    settle(150);
    QVERIFY(a->messages.isEmpty());
    QCOMPARE(h->host->game().state().curplayer, 1);
    QCOMPARE(h->host->game().state().seats[1].score, 0);
    for (int seat = 2; seat <= 4; ++seat)
        for (const QPoint &p : h->host->game().state().seats[seat].tiles)
            QCOMPARE(p, QPoint(-1, -1));
}

void TestHostGame::selectionRelays()
{
    RawClient *b = h->joinAs(2, "Ann");
    RawClient *c = h->joinAs(3, "Cy");
    QVERIFY(b && c);
    startGame();
    h->clearAll();
    b->write(m("CMD_selectletter+2+1+3+3+") + m("CMD_selectclear+2+") + m("CMD_clearletter+2+1+"));
    settle(150);
    QVERIFY(a->messages.isEmpty());
    QVERIFY(c->messages.isEmpty());
    a->write(m("CMD_selectletter+1+1+3+3+") + m("CMD_clearletter+1+1+") + m("CMD_selectclear+1+"));
    QVERIFY(b->waitForMessages(3));
    QVERIFY(c->waitForMessages(3));
    settle(50);
    const QList<QByteArray> relayed{"CMD_selectletter+1+1+3+3+", "CMD_clearletter+1+1+", "CMD_selectclear+1+"};
    QCOMPARE(b->messages, relayed);
    QCOMPARE(c->messages, relayed);
    QVERIFY(a->messages.isEmpty());
}

void TestHostGame::turnOrder_data()
{
    QTest::addColumn<QByteArray>("humans");
    QTest::addColumn<QByteArray>("team");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("solo") << QByteArray("1") << QByteArray("f") << QList<int>{1, 2, 1, 2};
    QTest::newRow("humans 1 and 3") << QByteArray("13") << QByteArray("f") << QList<int>{1, 2, 3, 1};
    QTest::newRow("team, 1 and 2") << QByteArray("12") << QByteArray("t") << QList<int>{1, 2, 1};
    QTest::newRow("team, 1 2 3") << QByteArray("123") << QByteArray("t") << QList<int>{1, 2, 3, 4, 1};
}

void TestHostGame::turnOrder()
{
    QFETCH(QByteArray, humans);
    QFETCH(QByteArray, team);
    QFETCH(QList<int>, order);
    // Fill slots in order; seats not named get a connection that is closed again.
    QList<RawClient *> leavers;
    for (int slot = 2; slot <= 3; ++slot) {
        RawClient *c = h->joinAs(slot, "P" + QByteArray::number(slot));
        QVERIFY(c);
        if (!humans.contains(char('0' + slot)))
            leavers << c;
    }
    for (RawClient *c : leavers)
        c->sock.disconnectFromHost();
    settle(150);
    startGame(team, 10000, 30);
    QList<int> seen;
    for (int turn = 0; turn < order.size(); ++turn) {
        seen << h->host->game().state().curplayer;
        QCOMPARE(h->host->Tag(), 1);
        stepTurn(34); // the turn runs out
        stepTurn(4); // the pause
    }
    QCOMPARE(seen, order);
}

void TestHostGame::targetWaitsForCycle()
{
    startGame("f", 100, 30);
    h->host->game().state().seats[1].score = 150; // seat 1 reaches the target
    stepTurn(34);
    QVERIFY(h->host->game().state().gameon); // seat 2 has not played this cycle
    stepTurn(4);
    QCOMPARE(h->host->game().state().curplayer, 2);
    a->messages.clear();
    stepTurn(34);
    QVERIFY(!h->host->game().state().gameon);
    QCOMPARE(a->messages, QList<QByteArray>{"CMD_winner+You+"});
}

void TestHostGame::tiesPlayOn()
{
    startGame("f", 100, 30);
    h->host->game().state().seats[1].score = 150;
    h->host->game().state().seats[2].score = 150;
    stepTurn(38);
    stepTurn(34);
    QVERIFY(h->host->game().state().gameon);
    QCOMPARE(h->host->Tag(), 3);
}

void TestHostGame::teamTiePlaysOn()
{
    RawClient *b = h->joinAs(2, "Ann");
    QVERIFY(b);
    startGame("t", 100, 30);
    h->host->game().state().teamscore = {100, 100};
    stepTurn(38);
    stepTurn(34);
    QVERIFY(h->host->game().state().gameon);
    h->host->game().state().teamscore = {100, 101};
    stepTurn(4);
    h->clearAll();
    stepTurn(34);
    stepTurn(4);
    stepTurn(34);
    QVERIFY(!h->host->game().state().gameon);
    QVERIFY(a->messages.contains("CMD_winner+Team B+"));
}

void TestHostGame::klotWins()
{
    startGame("f", 100, 30);
    h->host->game().state().seats[2].score = 100;
    stepTurn(38);
    a->messages.clear();
    stepTurn(34);
    QCOMPARE(a->messages, QList<QByteArray>{"CMD_winner+Klot+"});
}

void TestHostGame::directionRequests()
{
    RawClient *b = h->joinAs(2, "Ann");
    QVERIFY(b);
    startGame("f", 500, 30);
    rules::Board board = filled('e');
    lay(board, "dog", {{2, 1}, {3, 1}, {4, 1}});
    h->host->game().state().board = board;
    a->write(done(1, {{2, 1}, {3, 1}, {4, 1}}));
    QTRY_COMPARE(h->host->game().state().lastplayer, 1);
    QCOMPARE(h->host->game().state().timeleft, 5);
    b->write(m("CMD_direction+2+3+")); // not the word maker
    settle(100);
    QCOMPARE(h->host->game().state().timeleft, 5);
    a->write(m("CMD_direction+1+3+"));
    QTRY_COMPARE(h->host->game().state().timeleft, 2);
    QCOMPARE(h->host->game().state().direction, 3);
    h->clearAll();
    stepTurn(2);
    QCOMPARE(b->take(), QByteArray("CMD_moving+3+"));

    // After a time-up, the pause can be cut short by that seat only.
    stepTurn(4);
    QCOMPARE(h->host->game().state().curplayer, 2);
    stepTurn(34);
    QCOMPARE(h->host->Tag(), 3);
    QCOMPARE(h->host->game().state().timeleft, 4);
    a->write(m("CMD_direction+1+4+"));
    settle(100);
    QCOMPARE(h->host->game().state().timeleft, 4);
    b->write(m("CMD_direction+2+4+"));
    QTRY_COMPARE(h->host->game().state().timeleft, 2);
}

void TestHostGame::lateJoinerCatchesUp()
{
    startGame("f", 500, 60, 2);
    stepTurn(10);
    RawClient *b = h->connectClient(2);
    QVERIFY(b);
    b->write(m("CMD_logininfo+2+1.0.16+Ann") + FF);
    QVERIFY(b->waitForMessages(5));
    QCOMPARE(commands(b->messages),
            (QList<QByteArray>{
                    "CMD_newplayerinfo", "CMD_existingplayers", "CMD_theboard", "CMD_gamestats", "CMD_shufflesl"}));
    QCOMPARE(parseBoard(b->messages[2]), h->host->game().state().board);
    QCOMPARE(b->messages[3], QByteArray("CMD_gamestats+1+500+60+54+f+0+0+0+0+0+0+"));
    QCOMPARE(b->messages[4], QByteArray("CMD_shufflesl+2+2+2+2+"));
}

void TestHostGame::klotPlaysSevenLetters()
{
    h->host->setKlotWords({"zzzz", "planets"});
    startGame("f", 500, 30);
    stepTurn(38); // seat 1 runs out; seat 2 (Klot) is next
    QCOMPARE(h->host->game().state().curplayer, 2);
    rules::Board b = filled('q');
    const rules::Path path{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {5, 3}, {5, 4}};
    lay(b, "planets", path);
    h->host->game().state().board = b;
    a->messages.clear();
    stepKlot(4);
    QVERIFY(a->messages.isEmpty());
    stepKlot(1);
    QVERIFY(a->waitForMessages(2));
    QCOMPARE(a->messages[0], QByteArray("CMD_madeword+2+PLANETS+33+33+0+33+1+2+2+2+3+2+4+2+5+2+5+3+5+4"));
    QCOMPARE(a->messages[1], QByteArray("CMD_bonus+2+20+"));
    QCOMPARE(h->host->game().state().timeleft, 2); // Klot's direction wait
}

void TestHostGame::klotWaitsForReturningUser()
{
    startGame("f", 500, 30);
    rules::Board b = filled('e');
    lay(b, "dog", {{2, 1}, {3, 1}, {4, 1}});
    h->host->game().state().board = b;
    h->host->setKlotWords({"zzzz", "dogs", "eddo"});
    a->write(m("CMD_justwatch+1+1"));
    QTRY_VERIFY(h->host->computertimer.isActive());
    stepKlot(2);
    a->write(m("CMD_justwatch+1+2"));
    QTRY_VERIFY(!h->host->game().state().seats[1].watching);
    a->messages.clear();
    stepKlot(3);
    settle(100);
    QVERIFY(a->messages.isEmpty());
    QVERIFY(!h->host->computertimer.isActive());
    QCOMPARE(h->host->game().state().curplayer, 1);
}

// Klot with nothing to trace uses its seat's Zephyr Shuffle when it has one
// (and looks again on the new board); without one it waits out its turn.
void TestHostGame::klotWithNothingToTrace_data()
{
    QTest::addColumn<int>("shuffles");
    QTest::newRow("no shuffle: waits") << 0;
    QTest::newRow("a shuffle: uses it") << 1;
}

void TestHostGame::klotWithNothingToTrace()
{
    QFETCH(int, shuffles);
    startGame("f", 500, 30, shuffles);
    stepTurn(38);
    QCOMPARE(h->host->game().state().curplayer, 2);
    h->host->game().state().board = filled('q');
    a->messages.clear();
    stepKlot(5);
    if (shuffles > 0) {
        QVERIFY(a->waitForMessages(2));
        QVERIFY(a->messages[0].startsWith("CMD_useshuffle+2+0+"));
        QVERIFY(a->messages[1].startsWith("CMD_theboard+"));
        QCOMPARE(h->host->game().state().seats[2].shufflesleft, 0);
        return;
    }
    QVERIFY(a->messages.isEmpty());
    stepTurn(34);
    // Neither seat made a word this round and no shuffle is left: the next
    // round gets a new board, and everybody is told.
    QCOMPARE(a->messages,
            (QList<QByteArray>{"CMD_timeup+",
                    "CMD_chat+0+Nobody found a word in a whole round and no shuffles are "
                    "left: a new board is dealt.|clNavy"}));
    stepTurn(4);
    QVERIFY(a->waitForMessages(3));
    QVERIFY(a->messages[2].startsWith("CMD_theboard+"));
    QVERIFY(h->host->game().state().board != filled('q'));
}

void TestHostGame::leaverTurnGoesToKlot()
{
    RawClient *b = h->joinAs(2, "Ann");
    QVERIFY(b);
    startGame("f", 500, 30);
    stepTurn(38);
    QCOMPARE(h->host->game().state().curplayer, 2);
    QVERIFY(!h->host->computertimer.isActive());
    b->sock.disconnectFromHost();
    QTRY_VERIFY(h->host->computertimer.isActive());
    QCOMPARE(h->host->game().state().klotdelay, 5);
}

// A whole game: seat 1 is a scripted player that looks for words from Klot's
// list on its own copy of the board; seat 2 is Klot.
void TestHostGame::wholeSoloGame()
{
    const rules::KlotWords words(klotWords());
    startGame("f", 150, 30, 1);
    rules::Board board{};
    std::map<int, int> turns, totals, sums;
    QByteArray winner;
    int guard = 0;
    auto handle = [&](const QByteArray &msg) {
        const auto sm = wire::splitMessage(msg);
        wire::FieldReader r(sm.data);
        if (sm.command == "CMD_theboard") {
            board = parseBoard(msg);
        } else if (sm.command == "CMD_nextplayer") {
            ++turns[r.number()];
        } else if (sm.command == "CMD_madeword") {
            const int seat = r.number();
            r.field();
            sums[seat] += r.number();
            totals[seat] = r.number();
        } else if (sm.command == "CMD_winner") {
            winner = r.field();
        }
    };
    for (const QByteArray &msg : a->messages)
        handle(msg);
    a->messages.clear();
    while (winner.isEmpty() && ++guard < 4000) {
        if (h->host->game().state().curplayer == 1 && h->host->Tag() == 1) {
            // Find a word the way a player would, from the board we were sent.
            std::optional<rules::KlotMove> move;
            for (int start = 0; start < int(words.words.size()) && !move; start += 500)
                move = rules::klotChoose(board, words, start);
            if (move) {
                a->write(done(1, move->path));
                QVERIFY(a->waitForMessages(1));
                settle(20);
            }
        }
        h->host->computertimerTimer();
        h->host->Timer1Timer();
        settle(2);
        while (!a->messages.isEmpty())
            handle(a->take());
    }
    QVERIFY(!winner.isEmpty());
    QCOMPARE(turns[1], turns[2]);
    QVERIFY(turns[1] >= 1);
    for (int seat : {1, 2})
        QCOMPARE(totals[seat], sums[seat]);
    QCOMPARE(winner, QByteArray(totals[1] > totals[2] ? "You" : "Klot"));
}

QTEST_MAIN(TestHostGame)
#include "tst_hostgame.moc"
