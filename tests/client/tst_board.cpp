#include "boardmessage.h"
#include "wiremessages.h"
#include "fakehost.h"
#include "recordingplayer.h"
#include "messages.h"
#include "rules.h"
#include "tchat.h"
#include "clientfiles.h"
#include "ui_tchat.h"
#include "boardpicture.h"
#include "reviewdialog.h"
#include "turnpanel.h"
#include "chatview.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextBrowser>

Q_DECLARE_METATYPE(QList<QPoint>)

namespace {
const QByteArray FF(1, wire::Terminator);

const char *kBoard = "QUIZABC"
                     "DEFGHIJ"
                     "KLMNOPQ"
                     "RST.UVW"
                     "XYZABCD"
                     "EFGHIJK"
                     "LMNOPQR";

QPoint centre(QPoint cell)
{
    return QPoint(cell.x() * 56 + 28, cell.y() * 56 + 28);
}
} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void risingPointsStayInside_data();
    void risingPointsStayInside();
    void teamSeatsAndTotalsShowWhole_data();
    void teamSeatsAndTotalsShowWhole();
    void picks_data();
    void picks();
    void squareMarks_data();
    void squareMarks();
    void tracePreview_data();
    void tracePreview();
    void submitting();
    void takingBack();
    void arrows();
    void watching();
    void statusAndBannerAgree();
    void countdown_data();
    void countdown();
    void shuffleSetsCountdown();
    void gameStartLabels();
    void lateJoinerStatus();
    void winnerTexts_data();
    void winnerTexts();
    void scoredWord();
    void rejectedWord();
    void mirroredPicks();
    void squaresFollowTheMap();
    void movingShowsArrow();
    void hostileHostMessages();

private:
    void feed(std::initializer_list<QByteArray> messages);
    void startMyTurn();
    // What the window sent, once the picks it paces have all gone.
    QByteArray heard()
    {
        for (int waited = 0; chat->model().picksPending() && waited < 200; ++waited)
            QTest::qWait(10);
        return host->heard(60);
    }
    ClientFiles workDir;
    std::unique_ptr<FakeHost> host;
    std::unique_ptr<Tchat> chat;
    QStringList shown, sounds;
    RecordingPlayer player;
};

void TestBoard::init()
{
    workDir.fresh();
    shown.clear();
    sounds.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
    host = std::make_unique<FakeHost>();
    chat = joinWindow<Tchat>(*host);
    QVERIFY(chat);
    // The sounds are heard through the window's signal; nothing reaches the
    // audio system.
    chat->setSoundPlayer(&player);
    connect(chat.get(), &Tchat::soundRequested, this, [this](Sound s) { sounds << soundName(s); });
    feed({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_newplayerinfo+3+Cy+0"});
    heard();
}

void TestBoard::risingPointsStayInside_data()
{
    QTest::addColumn<QPoint>("last");
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("top right") << QPoint(6, 0);
    QTest::newRow("bottom right") << QPoint(6, 6);
    QTest::newRow("bottom left") << QPoint(0, 6);
}

// The points a word earned rise from its last tile; at an edge or a corner
// they stay whole inside the board's frame, and there is room to rise.
void TestBoard::risingPointsStayInside()
{
    QFETCH(QPoint, last);
    feed({"CMD_startgame+Ann+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+3+1+",
            wire::msg::madeword(3, "QUIZA", 2060, 2060, {0, 0}, {{3, 3}, last}).chopped(1)});
    auto *points = chat->form()->frame_board->findChild<QLabel *>("label_points");
    QVERIFY(points);
    QTRY_VERIFY(points->isVisible());
    // Whole inside the frame all the way up.
    const QRect frame = points->parentWidget()->rect();
    int seen = 0;
    while (points->isVisible() && seen < 500) {
        QVERIFY2(frame.contains(points->geometry()),
                qPrintable(QStringLiteral("%1,%2 %3x%4")
                                   .arg(points->x())
                                   .arg(points->y())
                                   .arg(points->width())
                                   .arg(points->height())));
        ++seen;
        QTest::qWait(5);
    }
    QVERIFY(seen > 1);
}

void TestBoard::teamSeatsAndTotalsShowWhole_data()
{
    QTest::addColumn<int>("teamB");
    QTest::newRow("three digits") << 188;
    QTest::newRow("four digits") << 1888;
    QTest::newRow("five digits") << 12345;
}

// In a team game Klot plays the seat beside Cy (seat 4): it reads Klot, as do
// its words; a team's total shows whole however far it grows, at every text
// size.
void TestBoard::teamSeatsAndTotalsShowWhole()
{
    QFETCH(int, teamB);
    feed({"CMD_startgame+Ann+500+60+t+1+", boardMessage(kBoard), "CMD_nextplayer+4+1+",
            wire::msg::madeword(4, "IDOL", 8, teamB, {7, teamB}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}).chopped(1)});
    QTRY_COMPARE(chat->form()->label_playername4->text(), QString("Klot"));
    QTRY_VERIFY(chat->form()->memo_words->toPlainText().startsWith("Klot: IDOL"));
    QLabel *total = chat->form()->label_team2;
    QCOMPARE(total->text(), QStringLiteral("Team B: %1").arg(teamB));
    for (int size : {8, 9, 12}) {
        QFont f = total->font();
        f.setPointSize(size);
        total->setFont(f);
        feed({wire::msg::madeword(4, "IDOL", 8, teamB, {7, teamB}, {{0, 0}}).chopped(1)});
        QTRY_VERIFY2(total->width() >= total->fontMetrics().horizontalAdvance(total->text()),
                qPrintable(
                        QStringLiteral("%1 px for \"%2\" at %3 pt").arg(total->width()).arg(total->text()).arg(size)));
    }
}

void TestBoard::cleanup()
{
    chat.reset();
    host.reset();
    ui::setMessageSink(nullptr);
}

void TestBoard::feed(std::initializer_list<QByteArray> messages)
{
    feedWindow(*host, *chat, messages);
}

void TestBoard::startMyTurn()
{
    feed({"CMD_startgame+Ann+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+1+1+"});
    heard();
    sounds.clear();
}

void TestBoard::picks_data()
{
    QTest::addColumn<QList<QPoint>>("clicks"); // cells, or (9, 9) for just outside the board
    QTest::addColumn<bool>("lastValid");
    QTest::newRow("first pick anywhere") << QList<QPoint>{{5, 5}} << true;
    QTest::newRow("empty square") << QList<QPoint>{{3, 3}} << false;
    QTest::newRow("diagonal") << QList<QPoint>{{1, 1}, {2, 2}} << true;
    QTest::newRow("same square again") << QList<QPoint>{{1, 1}, {2, 1}, {1, 1}} << false;
    QTest::newRow("two cells away") << QList<QPoint>{{1, 1}, {3, 1}} << false;
    QTest::newRow("eighth pick") << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {6, 1}}
                                 << false;
    QTest::newRow("just outside") << QList<QPoint>{{9, 9}} << false;
}

void TestBoard::picks()
{
    QFETCH(QList<QPoint>, clicks);
    QFETCH(bool, lastValid);
    startMyTurn();
    for (int i = 0; i < clicks.size(); ++i) {
        const QPoint pixel = clicks[i] == QPoint(9, 9) ? QPoint(393, 100) : centre(clicks[i]);
        QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, pixel);
    }
    const QByteArray sent = heard();
    const int valid = int(clicks.size()) - (lastValid ? 0 : 1);
    QCOMPARE(sent.count("CMD_selectletter"), valid);
    QCOMPARE(chat->model().board().pathcount, valid);
    if (lastValid) {
        const QPoint last = clicks.last();
        QVERIFY(sent.endsWith("CMD_selectletter+1+" + QByteArray::number(valid) + "+" + QByteArray::number(last.x())
                + "+" + QByteArray::number(last.y()) + "+" + FF));
        QCOMPARE(chat->model().board().overlay[last.x()][last.y()], 29);
        QCOMPARE(sounds.last(), QString("place"));
    } else {
        QCOMPARE(chat->form()->label_status->text(), QString("Invalid Selection"));
        QCOMPARE(sounds.last(), QString("badword"));
    }
    // Earlier picks carry the cross, the latest the frame.
    for (int k = 1; k <= chat->model().board().pathcount; ++k) {
        const QPoint c = chat->model().board().path[size_t(k)];
        QCOMPARE(chat->model().board().overlay[c.x()][c.y()], k == chat->model().board().pathcount ? 29 : 28);
        QCOMPARE(chat->strip().shownInSlot(size_t(k)), chat->model().board().letters[c.x()][c.y()]);
    }
}

// A tile on a bonus square says in its corner what the square is worth; a
// plain square's tile and an empty bonus square show no label.
void TestBoard::squareMarks_data()
{
    QTest::addColumn<QPoint>("cell");
    QTest::addColumn<QColor>("label"); // invalid: none
    QTest::newRow("double letter") << QPoint(0, 0) << QColor(30, 110, 200);
    QTest::newRow("triple word") << QPoint(3, 0) << QColor(180, 20, 20);
    QTest::newRow("double word") << QPoint(1, 1) << QColor(200, 50, 120);
    QTest::newRow("triple letter") << QPoint(2, 2) << QColor(20, 40, 150);
    QTest::newRow("plain") << QPoint(1, 0) << QColor();
    QTest::newRow("empty bonus square") << QPoint(3, 3) << QColor();
}

void TestBoard::squareMarks()
{
    QFETCH(QPoint, cell);
    QFETCH(QColor, label);
    startMyTurn();
    const QImage board = chat->form()->paintbox_board->grab().toImage();
    const QColor seen = board.pixelColor(cell.x() * 56 + 6, cell.y() * 56 + 6 + 5);
    const auto near = [](const QColor &a, const QColor &b) {
        return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 30;
    };
    if (label.isValid()) {
        QVERIFY2(near(seen, label), qPrintable(seen.name()));
    } else {
        for (const QColor &mark : {QColor(30, 110, 200), QColor(180, 20, 20), QColor(200, 50, 120), QColor(20, 40, 150),
                     QColor(176, 120, 0)})
            QVERIFY2(!near(seen, mark), qPrintable(seen.name()));
    }
}

// While tracing, the letters so far and the points the word would score,
// worked out by hand from the squares: Q is on a double letter, Z on a triple
// word, E on a double word, M on a triple letter, C on a double letter.
void TestBoard::tracePreview_data()
{
    QTest::addColumn<QList<QPoint>>("clicks");
    QTest::addColumn<QString>("shown");
    QTest::newRow("double letter") << QList<QPoint>{{0, 0}} << "Q  20 pts";
    QTest::newRow("plain after") << QList<QPoint>{{0, 0}, {1, 0}} << "QU  21 pts";
    QTest::newRow("double word") << QList<QPoint>{{1, 0}, {1, 1}} << "UE  4 pts";
    QTest::newRow("triple letter in a doubled word") << QList<QPoint>{{1, 1}, {2, 2}} << "EM  20 pts";
    QTest::newRow("triple word") << QList<QPoint>{{3, 0}, {2, 0}} << "ZI  33 pts";
    QTest::newRow("seven letters") << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}}
                                   << "QUIZABC  146 pts";
    QTest::newRow("a refused pick changes nothing") << QList<QPoint>{{0, 0}, {3, 3}} << "Q  20 pts";
}

void TestBoard::tracePreview()
{
    QFETCH(QList<QPoint>, clicks);
    QFETCH(QString, shown);
    startMyTurn();
    QLabel *preview = chat->strip().preview();
    QVERIFY(!preview->isVisible());
    const QImage before = chat->form()->paintbox_board->grab().toImage();
    for (const QPoint &c : clicks)
        QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre(c));
    QTRY_VERIFY(preview->isVisible());
    QCOMPARE(preview->text(), shown);
    // The line through the picks runs over the edge between the last two,
    // which the marks alone leave as it was.
    const ClientBoard &b = chat->model().board();
    if (b.pathcount >= 2) {
        const QPoint edge = (centre(b.path[size_t(b.pathcount - 1)]) + centre(b.path[size_t(b.pathcount)])) / 2;
        const QColor was = before.pixelColor(edge);
        const QColor now = chat->form()->paintbox_board->grab().toImage().pixelColor(edge);
        const int change = std::abs(was.red() - now.red()) + std::abs(was.green() - now.green())
                + std::abs(was.blue() - now.blue());
        QVERIFY2(change > 60 && now.green() >= now.red(), qPrintable(was.name() + " " + now.name()));
    }
    QTest::mouseClick(chat->form()->button_clear, Qt::LeftButton);
    QTRY_VERIFY(!preview->isVisible());
}

void TestBoard::submitting()
{
    startMyTurn();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::RightButton, {}, centre({1, 1}));
    QCOMPARE(heard(), QByteArray());
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({1, 0}));
    heard();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::RightButton, {}, centre({5, 5}));
    QCOMPARE(heard(), "CMD_playerdone+1+1+0+0+2+1+0" + FF + "CMD_selectclear+1+" + FF);
    QCOMPARE(chat->model().board().pathcount, 0);
    QCOMPARE(chat->model().board().overlay[0][0], -1);
    // The Done button does the same.
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({2, 2}));
    heard();
    QTest::mouseClick(chat->form()->button_done, Qt::LeftButton);
    QCOMPARE(heard(), "CMD_playerdone+1+1+2+2" + FF + "CMD_selectclear+1+" + FF);
    // Out of turn nothing happens at all.
    feed({"CMD_nextplayer+3+1+"});
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({2, 2}));
    QCOMPARE(chat->model().board().pathcount, 0);
    QCOMPARE(heard(), QByteArray());
}

void TestBoard::takingBack()
{
    startMyTurn();
    for (QPoint c : {QPoint(0, 0), QPoint(1, 0), QPoint(2, 0)})
        QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre(c));
    heard();
    QTest::mouseClick(chat->strip().letterSlot(2), Qt::LeftButton);
    QCOMPARE(chat->model().board().pathcount, 3);
    QCOMPARE(heard(), QByteArray());
    QTest::mouseClick(chat->strip().letterSlot(3), Qt::LeftButton);
    QCOMPARE(heard(), "CMD_clearletter+1+3+" + FF);
    QCOMPARE(chat->model().board().pathcount, 2);
    QCOMPARE(chat->model().board().overlay[2][0], -1);
    QCOMPARE(chat->model().board().overlay[1][0], 28); // keeps its cross
    QCOMPARE(chat->model().board().lastcell, QPoint(1, 0));
    QCOMPARE(chat->strip().shownInSlot(3), -1);
    QTest::mouseClick(chat->strip().letterSlot(2), Qt::LeftButton);
    QTest::mouseClick(chat->strip().letterSlot(1), Qt::LeftButton);
    QCOMPARE(chat->model().board().pathcount, 0);
    // With nothing picked the next pick may start anywhere.
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({6, 6}));
    QCOMPARE(chat->model().board().pathcount, 1);
    // A new turn without a new board: the old picks are gone, and nothing is
    // left to take back (the strip's slot names no square).
    heard();
    feed({"CMD_nextplayer+1+1+"});
    QCOMPARE(chat->model().board().pathcount, 0);
    QTest::mouseClick(chat->strip().letterSlot(1), Qt::LeftButton);
    QCOMPARE(heard(), QByteArray());
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    QCOMPARE(chat->model().board().pathcount, 1);
}

void TestBoard::arrows()
{
    startMyTurn();
    // Arrows nobody offered us choose nothing.
    chat->turnPanel().image_direction1Click(2);
    QCOMPARE(heard(), QByteArray());
    feed({"CMD_madeword+1+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0"});
    for (int d = 1; d <= 4; ++d)
        QVERIFY(chat->turnPanel().direction(d)->isVisible());
    QCOMPARE(chat->model().arrowsFor(), 1);
    QTest::mouseClick(chat->turnPanel().direction(3), Qt::LeftButton);
    QCOMPARE(heard(), "CMD_direction+1+3+" + FF);
    for (int d = 1; d <= 4; ++d)
        QVERIFY(!chat->turnPanel().direction(d)->isVisible());
    // Once chosen, a second click sends nothing.
    chat->turnPanel().image_direction1Click(2);
    QCOMPARE(heard(), QByteArray());
}

void TestBoard::watching()
{
    startMyTurn();
    feed({"CMD_justwatching+1+1"});
    QVERIFY(chat->form()->JustWatch1->isChecked());
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    chat->strip().button_doneClick();
    chat->strip().button_clearClick();
    chat->strip().button_shuffleClick();
    QCOMPARE(shown, QStringList(4, "You are just watching right now."));
    QCOMPARE(heard(), QByteArray());
    QVERIFY(!chat->form()->button_shuffle->isVisible());
}

// The refusal gives way once the picks are right again, and time up takes
// "Your turn!" away with it.
void TestBoard::statusAndBannerAgree()
{
    startMyTurn();
    QLabel *banner = chat->turnPanel().turnBanner();
    QVERIFY(banner->isVisible());
    QCOMPARE(banner->text(), QString("Your turn!"));
    const QString before = chat->form()->label_status->text();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({3, 3}));
    QCOMPARE(chat->form()->label_status->text(), QString("Invalid Selection"));
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({1, 1}));
    QCOMPARE(chat->form()->label_status->text(), before);
    feed({"CMD_timeup+"});
    QCOMPARE(chat->form()->label_status->text(), QString("Time is Up!"));
    QVERIFY(!banner->isVisible());
}

void TestBoard::countdown_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("bar"); // the bar's colour as a player names it
    QTest::newRow("eleven") << 12 << "Time: 0:11"
                            << "green";
    QTest::newRow("nine") << 10 << "Time: 0:09"
                          << "amber";
    QTest::newRow("one minute five") << 66 << "Time: 1:05"
                                     << "green";
    QTest::newRow("ten") << 11 << "Time: 0:10"
                         << "amber";
    QTest::newRow("six") << 7 << "Time: 0:06"
                         << "amber";
    QTest::newRow("five") << 6 << "Time: 0:05"
                          << "red";
    QTest::newRow("zero") << 1 << "Time: 0:00"
                          << "";
}

void TestBoard::countdown()
{
    QFETCH(int, from);
    QFETCH(QString, shown);
    QFETCH(QString, bar);
    chat->model().startCountdown(from);
    chat->model().Timer2Timer();
    QCOMPARE(chat->form()->label_timer->text(), shown);
    QCOMPARE(chat->model().countdownRunning(), from > 1);
    if (from > 1)
        QCOMPARE(chat->form()->image_timer->width(), from - 1);
    if (bar.isEmpty())
        return;
    const auto colourAt = [](QWidget *w, QPoint at) {
        const QColor c = w->grab().toImage().pixelColor(at);
        const int hue = c.hsvHue();
        return c.alpha() < 128 || c.hsvSaturation() < 80 ? "none"
                : hue >= 90 && hue <= 150                ? "green"
                : hue >= 30 && hue < 60                  ? "amber"
                : hue < 15                               ? "red"
                                                         : "?";
    };
    QCOMPARE(colourAt(chat->form()->image_timer, {2, 2}), bar);
    // In the last ten seconds the time's own box, far past the bar's end,
    // wears the warning colour too.
    QLabel *time = chat->form()->label_timer;
    QCOMPARE(colourAt(time, {time->width() - 4, time->height() / 2}), from <= 11 ? bar : QString("none"));
}

void TestBoard::shuffleSetsCountdown()
{
    startMyTurn();
    // The last nine seconds tick audibly.
    chat->model().startCountdown(10);
    for (int i = 0; i < 10; ++i)
        chat->model().Timer2Timer();
    QCOMPARE(sounds.count("timer"), 9);
    QCOMPARE(chat->form()->label_timer->text(), QString("Time: 0:00"));
    QVERIFY(!chat->model().countdownRunning());
    feed({"CMD_useshuffle+1+0+17+"});
    QCOMPARE(chat->model().timeLeft(), 13);
    QVERIFY(chat->model().countdownRunning());
    QCOMPARE(sounds.last(), QString("shuffle"));
}

void TestBoard::gameStartLabels()
{
    chat->form()->label_score1->setText("12");
    feed({"CMD_startgame+Cy+500+60+t+2+"});
    QCOMPARE(chat->form()->label_score1->text(), QString());
    QCOMPARE(chat->form()->label_team1->text(), QString("Team A: 0 "));
    QCOMPARE(chat->form()->label_team2->text(), QString("Team B: 0 "));
    QVERIFY(chat->form()->label_team1->isVisible());
    QCOMPARE(chat->form()->label_playername2->text(), QString("Klot"));
    QVERIFY(chat->form()->mainchat->toPlainText().contains("I am Klot the bot. Good Luck!"));
    QVERIFY(chat->form()->mainchat->toPlainText().contains("Cy has started a game."));
    QCOMPARE(chat->form()->label_playtoscore->text(), QString("Play to Score: 500"));
    QCOMPARE(chat->form()->label_Timeperturn->text(), QString("Time Per Turn: 60"));
    feed({"CMD_gamestats+1+500+60+30+t+5+0+0+0+5+0+"});
    QCOMPARE(chat->form()->label_team1->text(), QString("Team A : 5"));
    QCOMPARE(chat->form()->label_team2->text(), QString("Team B : 0"));
    // A second start with seat 2 held by Klot says nothing more.
    const int lines = chat->form()->mainchat->toPlainText().count("Klot the bot");
    feed({"CMD_startgame+Ann+500+60+f+1+"});
    QCOMPARE(chat->form()->mainchat->toPlainText().count("Klot the bot"), lines);
    QVERIFY(chat->form()->mainchat->toPlainText().contains("You have started a game."));
    QVERIFY(!chat->form()->label_team1->isVisible());
}

void TestBoard::lateJoinerStatus()
{
    feed({"CMD_newplayerinfo+4+Di+0", "CMD_gamestats+4+500+60+30+f+0+0+0+0+0+0+"});
    QCOMPARE(chat->form()->label_status->text(), QString("Di's turn."));
    QVERIFY(chat->model().countdownRunning());
    QCOMPARE(chat->model().timeLeft(), 30 - ClientModel::TurnSlackSeconds);
    feed({"CMD_nextplayer+3+0+"});
    QCOMPARE(chat->form()->label_status->text(), QString("Cy's Turn"));
}

void TestBoard::winnerTexts_data()
{
    QTest::addColumn<QByteArray>("winner");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tally");
    QTest::newRow("me") << QByteArray("Ann") << "You have won the game!"
                        << "addtomine";
    QTest::newRow("other") << QByteArray("Cy") << "Cy has won the game!"
                           << "Cy";
    QTest::newRow("team") << QByteArray("Team B") << "Team B has won the game!"
                          << "";
}

void TestBoard::winnerTexts()
{
    QFETCH(QByteArray, winner);
    QFETCH(QString, text);
    QFETCH(QString, tally);
    QSignalSpy games(chat.get(), &Tchat::tallyGame);
    startMyTurn();
    feed({"CMD_winner+" + winner + "+"});
    QCOMPARE(chat->form()->label_winner1->text(), text);
    QCOMPARE(chat->form()->label_winner2->text(), text);
    QVERIFY(chat->form()->panel_winner->isVisible());
    // The line stands whole inside its panel, not cut at the top.
    for (QLabel *l : {chat->form()->label_winner1, chat->form()->label_winner2}) {
        QVERIFY(l->height() >= l->fontMetrics().height());
        QVERIFY(chat->form()->panel_winner->rect().adjusted(0, 0, 1, 1).contains(l->geometry()));
        QVERIFY(l->alignment() & Qt::AlignHCenter);
    }
    QCOMPARE(chat->form()->label_status->text(), QString("GAME OVER!"));
    QCOMPARE(sounds.last(), QString("gameover"));
    QCOMPARE(games.count(), tally.isEmpty() ? 0 : 1);
    if (!tally.isEmpty())
        QCOMPARE(games.first().first().toString(), tally);
    // Under the scores, the best word the last board held.
    const auto labels = chat->turnPanel().resultsPanel()->findChildren<QLabel *>();
    QVERIFY(std::any_of(labels.begin(), labels.end(), [](QLabel *l) {
        return l->text().contains(QRegularExpression("Best word on the last board: [A-Z]+ \\(\\d+\\)"));
    }));
    // A joined copy cannot start the next game: no Play Again here.
    QVERIFY(!chat->turnPanel().resultsPanel()->findChild<QPushButton *>("button_playagain")->isVisible());
}

void TestBoard::scoredWord()
{
    startMyTurn();
    QSignalSpy words(chat.get(), &Tchat::tallyWordMade);
    const rules::Board before = chat->model().board().letters;
    // Q U I Z A along the top row.
    feed({"CMD_madeword+1+QUIZA+42+42+40+2+0+0+1+0+2+0+3+0+4+0"});
    for (int x = 0; x < 5; ++x)
        QCOMPARE(chat->model().board().letters[x][0], 0);
    QCOMPARE(chat->model().board().letters[5][0], 2);
    const int word[] = {17, 21, 9, 26, 1};
    for (int k = 1; k <= 5; ++k)
        QCOMPARE(chat->strip().shownInSlot(size_t(k)), word[k - 1]);
    QCOMPARE(chat->strip().shownInSlot(6), -1);
    QCOMPARE(chat->form()->label_bonus1->text(), QString("QUIZA +42"));
    QCOMPARE(chat->form()->label_score1->text(), QString("42"));
    QCOMPARE(chat->form()->label_status->text(), QString("Ann: QUIZA for 42 points."));
    QCOMPARE(chat->form()->memo_words->toPlainText(), QString("Ann: QUIZA for 42 points."));
    QCOMPARE(chat->form()->label_team1->text(), QString("Team A: 40"));
    QCOMPARE(chat->model().currentplayer(), 0);
    QCOMPARE(sounds.last(), QString("goodword"));
    QCOMPARE(words.count(), 1);
    // Words are not posted (the option is off), but the turn's best-word line
    // names the player's own word.
    const QString text = chat->form()->mainchat->toPlainText();
    QVERIFY(!text.contains("QUIZA for 42 points"));
    const qsizetype at = text.lastIndexOf("Best here: ");
    QVERIFY(at >= 0);
    QVERIFY(QRegularExpression("^Best here: [A-Z]+ for [0-9]+ \\(you: QUIZA for 42\\)").match(text.mid(at)).hasMatch());
    // Clicking the line shows the board as it stood before the word, the best
    // word's path traced on it; a click on the picture puts it away.
    QTextBrowser *view = chat->form()->mainchat;
    QTest::qWait(ChatView::StreamFrameMs * 3);
    const QTextCursor found =
            view->document()->find("Best here:", view->document()->characterCount(), QTextDocument::FindBackward);
    QVERIFY(!found.isNull());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(found).center() - QPoint(10, 0));
    auto *picture = chat->findChild<BoardPicture *>();
    QVERIFY(picture && picture->isVisible());
    QCOMPARE(picture->board(), before);
    QByteArray traced;
    for (const QPoint &square : picture->path())
        traced += char('A' + before[size_t(square.x())][size_t(square.y())] - 1);
    QVERIFY(traced.size() >= 2);
    QVERIFY2(text.mid(at).startsWith(picture->caption())
                    && picture->caption() == "Best here: " + traced + " for " + text.mid(at).section(' ', 4, 4),
            qPrintable(picture->caption()));
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
    QVERIFY(!picture->isVisible());
    chat->form()->ShowtheBestWord1->trigger();
    QVERIFY(!chat->preferences().showBestWord());
    feed({"CMD_nextplayer+1+1+", "CMD_timeup+"});
    QCOMPARE(chat->form()->mainchat->toPlainText().count("Best here: "), 1);
    // The review keeps every turn, shown or not: the word played, then a
    // turn whose time ran out; the results offer it once the game is over.
    QVERIFY(!chat->turnPanel().reviewButton()->isVisible());
    feed({"CMD_winner+Ann+"});
    QPushButton *review = chat->turnPanel().reviewButton();
    QVERIFY(review->isVisible());
    QTest::mouseClick(review, Qt::LeftButton);
    QVERIFY(chat->review() && chat->review()->isVisible());
    const GameRecord &record = chat->review()->record();
    QCOMPARE(record.turns.size(), 2);
    QCOMPARE(record.turns[0].word, QByteArray("QUIZA"));
    QCOMPARE(record.turns[0].points, 42);
    QCOMPARE(record.turns[0].board, before);
    QCOMPARE(QString::fromLatin1(record.turns[0].best), text.mid(at).section(' ', 2, 2));
    QVERIFY(record.turns[1].word.isEmpty());
    QCOMPARE(chat->review()->table()->item(2, 0)->text(), QString("Total"));
}

void TestBoard::rejectedWord()
{
    startMyTurn();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({1, 1}));
    QTest::mouseClick(chat->form()->paintbox_board, Qt::RightButton, {}, centre({1, 1}));
    feed({"CMD_notvalid+1+QE+"});
    QCOMPARE(chat->form()->label_status->text(), QString("QE is not a valid word."));
    // The strip washes red, then clears.
    QFrame *flash = chat->strip().refusalFlash();
    QVERIFY(flash && flash->isVisible());
    const QRect over = flash->geometry().intersected(chat->strip().letterSlot(3)->geometry());
    const QColor seen = flash->parentWidget()->grab(over).toImage().pixelColor(over.width() / 2, over.height() / 2);
    QVERIFY2(seen.red() > seen.green() + 40, qPrintable(seen.name()));
    QTRY_VERIFY(!flash->isVisible());
    QCOMPARE(chat->model().currentplayer(), 1);
    QCOMPARE(chat->model().board().overlay[1][1], -1);
    QCOMPARE(sounds.last(), QString("badword"));
    // The turn goes on.
    heard();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({4, 4}));
    QVERIFY(heard().startsWith("CMD_selectletter+1+1+4+4+"));
}

void TestBoard::mirroredPicks()
{
    feed({"CMD_startgame+Cy+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+3+1+"});
    feed({"CMD_selectletter+3+1+2+2+", "CMD_selectletter+3+2+3+2+"});
    QCOMPARE(chat->model().board().overlay[2][2], 29);
    QCOMPARE(chat->strip().shownInSlot(2), chat->model().board().letters[3][2]);
    feed({"CMD_clearletter+3+2+"});
    QCOMPARE(chat->model().board().overlay[3][2], -1);
    QCOMPARE(chat->strip().shownInSlot(2), -1);
    feed({"CMD_selectclear+3+"});
    QCOMPARE(chat->model().board().overlay[2][2], -1);
    QCOMPARE(chat->strip().shownInSlot(1), -1);
    // Our own relayed picks are ignored.
    feed({"CMD_selectletter+1+1+0+0+"});
    QCOMPARE(chat->model().board().overlay[0][0], -1);
}

// The squares the window draws, against the board's map written out by hand
// (rows from the top; L double letter, T triple letter, D double word, W
// triple word, B the bonus square).
void TestBoard::squaresFollowTheMap()
{
    const char *const map[7] = {
            "L..W..L",
            ".D...D.",
            "..T.T..",
            "W..B..W",
            "..T.T..",
            ".D...D.",
            "L..W..L",
    };
    const QHash<char, int> pictureFor = {{'.', rules::tile::Plain}, {'B', rules::tile::BonusSquare},
            {'L', rules::tile::DoubleLetter}, {'T', rules::tile::TripleLetter}, {'D', rules::tile::DoubleWord},
            {'W', rules::tile::TripleWord}};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y)
            QCOMPARE(chat->model().board().squares[x][y], pictureFor.value(map[y][x], -1));
}

void TestBoard::movingShowsArrow()
{
    feed({"CMD_startgame+Cy+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+3+1+"});
    feed({"CMD_madeword+3+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0"});
    for (int d = 1; d <= 4; ++d)
        QVERIFY(!chat->turnPanel().direction(d)->isVisible());
    feed({"CMD_moving+1+"});
    QVERIFY(chat->turnPanel().direction(1)->isVisible());
    QVERIFY(!chat->turnPanel().direction(2)->isVisible());
    QCOMPARE(chat->model().lastdirection(), 1);
    // Column 0 lost its Q at the top: the rest closes up downward.
    QCOMPARE(chat->model().board().letters[0][0], 0);
    QCOMPARE(chat->model().board().letters[0][6], 'L' - 'A' + 1);
    QCOMPARE(sounds.last(), QString("shift"));
}

// Whatever a host sends, the window neither crashes nor touches cells or
// seats that are not there.
void TestBoard::hostileHostMessages()
{
    const QByteArrayList nasty = {
            "CMD_theboard+9+9+5+-1+0+3+0+0+99",
            "CMD_theboard+x",
            "CMD_theboard",
            "CMD_nextplayer+0+1+",
            "CMD_nextplayer+9+x+",
            "CMD_nextplayer+-3+-3+",
            "CMD_gamestats+7+a+60+99999999+t+1+2+3+4+5+6+",
            "CMD_gamestats+",
            "CMD_madeword+9+WORD+1+1+1+1+9+9+-1+3",
            "CMD_madeword+1+W+x",
            "CMD_madeword+0+W+1+1+1+1",
            "CMD_selectletter+3+99+0+0+",
            "CMD_selectletter+3+1+7+7+",
            "CMD_clearletter+3+0+",
            "CMD_clearletter+3+8+",
            "CMD_useshuffle+9+9+9+",
            "CMD_useshuffle+1+-5+x+",
            "CMD_shufflesl+1+2+",
            "CMD_bonus+x+",
            "CMD_moving+99+",
            "CMD_moving+-1+",
            "CMD_winner+",
            "CMD_winner",
            "CMD_newplayerinfo+0+Zero+1",
            "CMD_newplayerinfo+-2+Neg+1",
            "CMD_existingplayers+7",
            "CMD_playerdisconnected+0+Zero",
            "CMD_playerdisconnected+99+X",
            "CMD_justwatching+0+1",
            "CMD_justwatching+9+1",
            "CMD_startgame+X+1+30+t+9+",
            "CMD_startgame+X+1+x+t+9+",
            "CMD_notvalid+1+",
            "CMD_chat+2+x|",
            "CMD_chat",
            "CMD_action+9+:)#:)#:)#|clRed",
            "",
            "+",
            "CMD_sendlogininfo+x",
    };
    feed({"CMD_startgame+Cy+500+60+f+1+", boardMessage(kBoard), "CMD_nextplayer+1+1+"});
    for (const QByteArray &m : nasty)
        host->say({m});
    QTest::qWait(50);
    QTRY_COMPARE(chat->model().queuedMessages(), 0);
    // Still working afterwards.
    feed({boardMessage(kBoard), "CMD_nextplayer+1+1+"});
    heard();
    QTest::mouseClick(chat->form()->paintbox_board, Qt::LeftButton, {}, centre({0, 0}));
    QVERIFY(heard().startsWith("CMD_selectletter+1+1+0+0+"));
    QVERIFY(shown.isEmpty());
}

QTEST_MAIN(TestBoard)
#include "tst_board.moc"
