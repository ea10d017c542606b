#include "usehost.h"
#include "klotwords.h"
#include "messages.h"
#include "rules.h"
#include "tabout.h"
#include "tchat.h"
#include "clientfiles.h"
#include "tgamestart.h"
#include "tserver.h"
#include "ui_tchat.h"
#include "ui_tgamestart.h"

#include <QSignalSpy>
#include <QTest>
#include <map>

// The host and two players' windows in one process, talking over loopback,
// play a whole game by clicks.
class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void wholeGameByClicks();
    void lateJoinerClockMatches_data();
    void lateJoinerClockMatches();

private:
    ClientFiles workDir;
};

namespace {
// The hosting player's window, logged in to its own host.
void hostWindow(Tchat &you, TServer &server, Tgamestart &options)
{
    useHost(you, &server);
    you.setGamestart(&options);
    you.setArguments({"You", "x", "true"});
    you.setPort(0);
    you.show();
    QTRY_VERIFY(you.model().loggedin());
}
} // namespace

void TestEndToEnd::wholeGameByClicks()
{
    QStringList shown;
    ui::setMessageSink([&shown](const QString &t) { shown << t; });
    Tabout about;
    TServer server;
    server.setManualTimers(true);
    server.setRandomSeed(7);
    Tgamestart options;
    Tchat you;
    you.setAbout(&about);
    hostWindow(you, server, options);
    Tchat ann;
    ann.setArguments({"Ann", "127.0.0.1", "false"});
    ann.setPort(server.listeningPort());
    ann.show();
    QTRY_VERIFY(ann.model().loggedin());
    QTRY_COMPARE(you.form()->label_playername2->text(), QString("Ann"));

    QSignalSpy youWinner(&you, &Tchat::tallyGame);
    // Start from the options dialog: play to 60.
    QTest::mouseClick(you.form()->button_start, Qt::LeftButton);
    QVERIFY(options.isVisible());
    options.form()->playtoscore->setValue(100);
    options.form()->playtoscore->stepBy(-1); // 100 is the floor
    QTest::mouseClick(options.form()->button_start, Qt::LeftButton);
    QTRY_VERIFY(server.game().state().gameon);

    const rules::KlotWords words(klotWords());
    Tchat *players[] = {nullptr, &you, &ann};
    std::map<int, int> turns;
    int boardsChecked = 0;
    int previews = 0;
    int guard = 0;
    while (server.game().state().gameon && ++guard < 3000) {
        // Let both windows catch up with everything the host said.
        QTest::qWait(5);
        QTRY_VERIFY(
                you.model().queuedMessages() == 0 && ann.model().queuedMessages() == 0 && server.queuedMessages() == 0);
        const int seat = server.game().state().curplayer;
        if (server.Tag() == 1 && seat >= 1 && seat <= 2 && players[seat]->model().currentplayer() == seat) {
            Tchat *p = players[seat];
            // After each new board every window shows the host's board.
            for (Tchat *c : {&you, &ann})
                QCOMPARE(c->model().board().letters, server.game().state().board);
            ++boardsChecked;
            ++turns[seat];
            std::optional<rules::KlotMove> move;
            for (int start = 0; start < int(words.words.size()) && !move; start += 700)
                move = rules::klotChoose(p->model().board().letters, words, start);
            if (move) {
                for (const QPoint &c : move->path)
                    QTest::mouseClick(
                            p->form()->paintbox_board, Qt::LeftButton, {}, QPoint(c.x() * 56 + 20, c.y() * 56 + 30));
                QCOMPARE(p->model().board().pathcount, int(move->path.size()));
                // What the window showed while tracing is what the host scores.
                const int previewed = p->strip().previewPoints();
                const int before = server.game().state().seats[size_t(seat)].score;
                QTest::mouseClick(p->form()->button_done, Qt::LeftButton);
                // Wait for the host's answer, then choose an arrow when shown.
                QTRY_VERIFY(server.Tag() != 1 || server.game().state().curplayer == seat);
                QTRY_COMPARE(server.game().state().seats[size_t(seat)].score - before, previewed);
                ++previews;
                QTest::qWait(30);
                QTRY_VERIFY(p->model().queuedMessages() == 0);
                if (p->turnPanel().direction(3)->isVisible())
                    QTest::mouseClick(p->turnPanel().direction(3), Qt::LeftButton);
                QTest::qWait(30);
            }
            // Step the turn on to its end.
            const int before = server.game().state().curplayer;
            for (int i = 0; i < 200 && server.game().state().gameon
                    && (server.game().state().curplayer == before || server.Tag() != 1);
                    ++i) {
                server.Timer1Timer();
                QTest::qWait(2);
            }
        } else {
            server.Timer1Timer();
        }
    }
    QVERIFY(!server.game().state().gameon);
    QVERIFY(boardsChecked >= 2);
    QVERIFY(previews >= 2);
    QCOMPARE(turns[1], turns[2]);
    QTRY_VERIFY(you.form()->panel_winner->isVisible());
    QTRY_VERIFY(ann.form()->panel_winner->isVisible());
    const QString winnerText = you.form()->label_winner1->text();
    QVERIFY(winnerText == "You have won the game!" || winnerText == "Ann has won the game!");
    QCOMPARE(ann.form()->label_winner1->text(),
            winnerText == "You have won the game!" ? QString("You has won the game!")
                                                   : QString("You have won the game!"));
    QVERIFY(you.form()->button_start->isVisible());
    QVERIFY(!ann.form()->button_start->isVisible());
    QVERIFY(shown.isEmpty());
    ui::setMessageSink(nullptr);
}

void TestEndToEnd::lateJoinerClockMatches_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("wordFirst");
    QTest::newRow("as the turn starts") << 0 << false;
    QTest::newRow("mid-turn") << 9 << false;
    QTest::newRow("between turns") << 0 << true;
}

// A window that joins (or comes back) during a game shows the same clock as
// one that was there all along.
void TestEndToEnd::lateJoinerClockMatches()
{
    QFETCH(int, ticks);
    QFETCH(bool, wordFirst);
    TServer server;
    server.setManualTimers(true);
    server.setRandomSeed(3);
    Tgamestart options;
    Tchat you;
    hostWindow(you, server, options);
    QTest::mouseClick(you.form()->button_start, Qt::LeftButton);
    QTest::mouseClick(options.form()->button_start, Qt::LeftButton);
    QTRY_COMPARE(you.model().currentplayer(), 1);
    // The window counts from the turn's start; the host is stepped by hand.
    const int shownAtStart = you.model().timeLeft();
    for (int i = 0; i < ticks; ++i)
        server.Timer1Timer();
    if (wordFirst) {
        const rules::KlotWords words(klotWords());
        const std::optional<rules::KlotMove> move = rules::klotChoose(you.model().board().letters, words, 0);
        QVERIFY(move);
        for (const QPoint &c : move->path)
            QTest::mouseClick(you.form()->paintbox_board, Qt::LeftButton, {}, QPoint(c.x() * 56 + 20, c.y() * 56 + 30));
        QTest::mouseClick(you.form()->button_done, Qt::LeftButton);
        QTRY_COMPARE(server.game().state().curplayer, 0);
    }
    Tchat late;
    late.setArguments({"Bo", "127.0.0.1", "false"});
    late.setPort(server.listeningPort());
    late.show();
    QTRY_VERIFY(late.model().loggedin());
    QTRY_VERIFY(late.model().queuedMessages() == 0);
    QTest::qWait(50);
    QCOMPARE(late.model().countdownRunning(), !wordFirst);
    if (!wordFirst)
        QCOMPARE(late.model().timeLeft(), shownAtStart - ticks);
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
