// What the window shows beyond the bare texts: the turn banner, the arrows'
// countdown, a refused word's shake, traced words, sliding tiles and the
// results. The motion runs on the window's own clock, stepped by hand here;
// the model must already be as the host says while anything still moves.

#include "boardmessage.h"
#include "clientfiles.h"
#include "fakehost.h"
#include "messages.h"
#include "rules.h"
#include "tchat.h"
#include "ui_tchat.h"

#include <QMenu>
#include <QTest>

namespace {
const char *kBoard = "QUIZABC"
                     "DEFGHIJ"
                     "KLMNOPQ"
                     "RSTEUVW"
                     "XYZABCD"
                     "EFGHIJK"
                     "LMNOPQR";

rules::Board lettersOf(const char *rows)
{
    rules::Board b{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            b[size_t(x)][size_t(y)] = rows[y * 7 + x] == '.' ? 0 : rows[y * 7 + x] - 'A' + 1;
    return b;
}
} // namespace

class TestMotion : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void turnBanner();
    void arrowCountdown_data();
    void arrowCountdown();
    void refusedWordShakes();
    void wordTracedAndSlid();
    void resultsAtTheEnd_data();
    void resultsAtTheEnd();
    void nothingMovesWhileHidden();
    void layoutFaults();

private:
    void feed(std::initializer_list<QByteArray> messages) { feedWindow(*host, *chat, messages); }
    int slotX(int k) const
    {
        return chat->form()->panel_board->findChild<QLabel *>(QStringLiteral("image_letter%1").arg(k))->x();
    }

    ClientFiles workDir;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
};

void TestMotion::init()
{
    workDir.fresh();
    ui::setMessageSink([](const QString &) {});
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    chat->motion().setManual(true);
    feed({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_newplayerinfo+3+Cy+0",
            "CMD_startgame+Ann+500+60+f+1+", boardMessage(kBoard)});
}

void TestMotion::cleanup()
{
    chat.reset();
    host.reset();
    ui::setMessageSink(nullptr);
}

void TestMotion::turnBanner()
{
    QVERIFY(!chat->turnPanel().turnBanner()->isVisible());
    const struct {
        QByteArray seat;
        QString banner;
        bool mine;
    } turns[] = {{"1", "Your turn!", true}, {"3", "Cy\nis playing", false}, {"2", "Klot\nis playing", false},
            {"1", "Your turn!", true}};
    for (const auto &t : turns) {
        feed({"CMD_nextplayer+" + t.seat + "+1+"});
        QVERIFY(chat->turnPanel().turnBanner()->isVisible());
        QCOMPARE(chat->turnPanel().turnBanner()->text(), t.banner);
        QCOMPARE(chat->seats().myTurnHighlighted(), t.mine);
    }
    // The status line keeps its own words.
    QCOMPARE(chat->form()->label_status->text(), QString("Your Turn"));
    // A word ends the turn: no banner while the tiles move.
    feed({"CMD_madeword+1+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0"});
    QVERIFY(!chat->turnPanel().turnBanner()->isVisible());
    QVERIFY(!chat->seats().myTurnHighlighted());
}

void TestMotion::arrowCountdown_data()
{
    QTest::addColumn<QByteArray>("maker");
    QTest::addColumn<int>("seconds");
    QTest::newRow("my word") << QByteArray("1") << rules::DirectionWaitSeconds;
    QTest::newRow("another's word") << QByteArray("3") << 0;
}

void TestMotion::arrowCountdown()
{
    QFETCH(QByteArray, maker);
    QFETCH(int, seconds);
    feed({"CMD_nextplayer+" + maker + "+1+", "CMD_madeword+" + maker + "+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0"});
    QCOMPARE(chat->turnPanel().arrowSecondsLeft(), seconds);
    QCOMPARE(chat->turnPanel().arrowCountdown()->isVisible(), seconds > 0);
    if (seconds > 0)
        QVERIFY(chat->turnPanel().arrowCountdown()->text().endsWith(QString::number(seconds)));
    feed({"CMD_moving+2+"});
    QCOMPARE(chat->turnPanel().arrowSecondsLeft(), 0);
    QVERIFY(!chat->turnPanel().arrowCountdown()->isVisible());
}

void TestMotion::refusedWordShakes()
{
    feed({"CMD_nextplayer+1+1+"});
    const int home = slotX(1);
    feed({"CMD_notvalid+1+QE+"});
    QVERIFY(chat->strip().shaking());
    chat->motion().advance(40);
    QVERIFY(slotX(1) != home);
    QCOMPARE(slotX(7) - slotX(1), 6 * 56); // the strip moves as one
    chat->motion().advance(500);
    QVERIFY(!chat->strip().shaking());
    QCOMPARE(slotX(1), home);
    // Another player's refused word is not mine to shake.
    feed({"CMD_notvalid+3+QE+"});
    QVERIFY(!chat->strip().shaking());
}

void TestMotion::wordTracedAndSlid()
{
    BoardView *view = chat->form()->paintbox_board;
    feed({"CMD_nextplayer+3+1+", "CMD_madeword+3+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0"});
    // Cy's word is traced on the board, while the model has already lost it.
    QVERIFY(view->tracing());
    for (int x = 0; x < 4; ++x)
        QCOMPARE(chat->model().board().letters[size_t(x)][0], 0);
    QVERIFY(chat->board().risingPoints()->isVisible());
    QCOMPARE(chat->board().risingPoints()->text(), QString("+42"));
    chat->motion().advance(2000);
    QVERIFY(!view->tracing());
    QVERIFY(!chat->board().risingPoints()->isVisible());

    // The slide: the model holds the shifted board at once, the view eases.
    rules::Board expected = lettersOf(kBoard);
    for (int x = 0; x < 4; ++x)
        expected[size_t(x)][0] = 0;
    rules::shift(expected, 1, 0);
    feed({"CMD_moving+1+"});
    QVERIFY(view->sliding());
    QCOMPARE(chat->model().board().letters, expected);
    chat->motion().advance(100);
    QVERIFY(view->sliding());
    chat->motion().advance(400);
    QVERIFY(!view->sliding());
    feed({boardMessage(kBoard)});
    QCOMPARE(chat->model().board().letters, lettersOf(kBoard));
}

void TestMotion::resultsAtTheEnd_data()
{
    QTest::addColumn<bool>("team");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("seats") << false << QStringList{"Cy\t61\tJINX", "Ann\t50\tQUIZ", "Klot\t0\t"};
    QTest::newRow("teams") << true << QStringList{"Team A\t111\tJINX", "Team B\t0\t"};
}

void TestMotion::resultsAtTheEnd()
{
    QFETCH(bool, team);
    QFETCH(QStringList, rows);
    feed({"CMD_startgame+Ann+100+60+" + QByteArray(team ? "t" : "f") + "+1+", boardMessage(kBoard),
            "CMD_nextplayer+1+1+", "CMD_madeword+1+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0", "CMD_moving+1+",
            "CMD_nextplayer+1+1+", "CMD_madeword+1+AT+8+50+50+0+0+4+0+5", "CMD_moving+1+", "CMD_nextplayer+3+1+",
            "CMD_madeword+3+JINX+61+61+111+0+1+1+2+1+3+1+4+1", "CMD_moving+1+", "CMD_nextplayer+1+1+",
            "CMD_madeword+1+DO+2+50+50+0+1+2+2+2"});
    QVERIFY(chat->turnPanel().arrowSecondsLeft() > 0);
    QVERIFY(!chat->turnPanel().resultsPanel()->isVisible());
    feed({"CMD_winner+" + QByteArray(team ? "Team A" : "Cy") + "+"});
    // Nothing runs on: no countdown, no turn marker, no time; the results
    // list everybody, the winner first.
    QCOMPARE(chat->turnPanel().arrowSecondsLeft(), 0);
    QVERIFY(!chat->form()->image_Turn->isVisible());
    QVERIFY(!chat->turnPanel().turnBanner()->isVisible());
    QVERIFY(!chat->model().countdownRunning());
    QCOMPARE(chat->form()->image_timer->width(), 0);
    QVERIFY(chat->turnPanel().resultsPanel()->isVisible());
    QCOMPARE(chat->turnPanel().resultRows(), rows);
    QVERIFY(chat->form()->panel_winner->isVisible());
    // The next game clears them.
    feed({"CMD_startgame+Ann+100+60+f+1+"});
    QVERIFY(!chat->turnPanel().resultsPanel()->isVisible());
}

void TestMotion::nothingMovesWhileHidden()
{
    feed({"CMD_nextplayer+1+1+", "CMD_notvalid+1+QE+"});
    QVERIFY(chat->strip().shaking());
    const qint64 frames = chat->motion().framesDrawn();
    chat->showMinimized();
    chat->hide();
    // Hidden: what ran is finished, and new motion ends as it starts.
    QVERIFY(!chat->motion().anyRunning());
    feed({"CMD_notvalid+1+QE+", "CMD_madeword+1+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0", "CMD_moving+2+"});
    QVERIFY(!chat->motion().anyRunning());
    QCOMPARE(chat->motion().framesDrawn(), frames);
    chat->showNormal();
    feed({"CMD_notvalid+1+QE+"});
    QVERIFY(chat->strip().shaking());
}

void TestMotion::layoutFaults()
{
    // The seven-letter picture never covers a seat box.
    feed({"CMD_startgame+Ann+100+60+t+1+", "CMD_nextplayer+1+1+", "CMD_bonus+1+"});
    const QRect bonus = chat->form()->image_bonus->geometry();
    QVERIFY(chat->form()->image_bonus->isVisible());
    for (const char *kind : {"label_playername", "label_score", "label_bonus", "label_team"})
        for (int seat = 1; seat <= 4; ++seat)
            if (auto *l = chat->form()->panel_board->findChild<QLabel *>(QString(kind) + QString::number(seat)))
                QVERIFY2(!bonus.intersects(l->geometry()), qPrintable(l->objectName()));
    // A seat box's three lines stay inside its 40 pixels, clear of the
    // phrase buttons below.
    for (int seat = 1; seat <= 4; ++seat) {
        const auto line = [&](const char *kind) {
            return chat->form()->panel_board->findChild<QLabel *>(QString(kind) + QString::number(seat))->geometry();
        };
        const int top = line("label_playername").top();
        for (const char *kind : {"label_playername", "label_score", "label_bonus"}) {
            QVERIFY2(line(kind).bottom() < top + 40, kind);
            for (int k = 1; k <= 10; ++k) {
                const QRect button =
                        chat->form()
                                ->panel_board->findChild<QPushButton *>(QStringLiteral("b_phrase%1").arg(k))
                                ->geometry();
                QVERIFY2(!line(kind).intersects(button), kind);
            }
        }
    }
    // Team B's light names sit on a dark backing in a team game only.
    auto *back = chat->form()->panel_board->findChild<QFrame *>("frame_teamb2");
    QVERIFY(back && back->isVisible());
    QVERIFY(back->geometry().contains(chat->form()->label_playername2->geometry()));
    feed({"CMD_startgame+Ann+100+60+f+1+"});
    QVERIFY(!back->isVisible());
    // After a smiley the typing goes on in the chat line.
    chat->activateWindow();
    chat->form()->paintbox_board->setFocus();
    chat->chatView().smileyActions().at(2)->trigger();
    QVERIFY(chat->form()->mychat->hasFocus());
    QVERIFY(chat->form()->mychat->text().startsWith(":)#"));
}

QTEST_MAIN(TestMotion)
#include "tst_motion.moc"
