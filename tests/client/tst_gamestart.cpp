#include "usehost.h"
#include "message.h"
#include "messages.h"
#include "rawclient.h"
#include "tabout.h"
#include "tchat.h"
#include "clientfiles.h"
#include "tgamestart.h"
#include "tserver.h"
#include "ui_tchat.h"
#include "ui_tgamestart.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

class TestGamestart : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void stepping_data();
    void stepping();
    void typingDisabled();
    void messageBytes();
    void closingSendsNothing();
    void notConnected();
    void startsAGameThroughTheHost();
    void noGameLostByAStrayKey_data();
    void noGameLostByAStrayKey();

private:
    ClientFiles workDir;
    QStringList shown;
};

void TestGamestart::init()
{
    workDir.fresh();
    shown.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
}

void TestGamestart::cleanup()
{
    ui::setMessageSink(nullptr);
}

void TestGamestart::stepping_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("steps");
    QTest::addColumn<int>("to");
    QTest::newRow("110 up") << "playtoscore" << 110 << 1 << 160;
    QTest::newRow("110 down") << "playtoscore" << 110 << -1 << 100;
    QTest::newRow("near the top") << "playtoscore" << 9990 << 1 << 10000;
    QTest::newRow("clamped on set") << "playtoscore" << 50 << 0 << 100;
    QTest::newRow("time up") << "timeperturn" << 60 << 2 << 70;
    QTest::newRow("time top") << "timeperturn" << 118 << 1 << 120;
    QTest::newRow("time set too high") << "timeperturn" << 500 << 0 << 120;
    QTest::newRow("shuffles down") << "zephyrshuffle" << 0 << -1 << 0;
    QTest::newRow("shuffles up") << "zephyrshuffle" << 4 << 3 << 5;
}

void TestGamestart::stepping()
{
    QFETCH(QString, box);
    QFETCH(int, from);
    QFETCH(int, steps);
    QFETCH(int, to);
    Tgamestart d;
    auto *spin = d.findChild<QSpinBox *>(box);
    QVERIFY(spin);
    spin->setValue(from);
    spin->stepBy(steps);
    QCOMPARE(spin->value(), to);
}

void TestGamestart::typingDisabled()
{
    Tgamestart d;
    d.show();
    QTest::keyClicks(d.form()->playtoscore, "9");
    QCOMPARE(d.form()->playtoscore->value(), 500);
}

void TestGamestart::messageBytes()
{
    Tgamestart d;
    QCOMPARE(d.form()->playtoscore->value(), 500);
    QCOMPARE(d.form()->timeperturn->value(), 60);
    QCOMPARE(d.form()->zephyrshuffle->value(), 1);
    QVERIFY(!d.form()->checkbox_team->isChecked());
    QCOMPARE(ClientModel::startMessage("You", d.options()),
            QByteArray("CMD_startgame+You+500+60+f+1+") + wire::Terminator);
    d.form()->checkbox_team->setChecked(true);
    d.form()->zephyrshuffle->setValue(3);
    QCOMPARE(ClientModel::startMessage("Ann", d.options()),
            QByteArray("CMD_startgame+Ann+500+60+t+3+") + wire::Terminator);
}

void TestGamestart::closingSendsNothing()
{
    Tgamestart d;
    QSignalSpy spy(&d, &Tgamestart::startRequested);
    d.show();
    d.form()->playtoscore->stepBy(1);
    d.close();
    QCOMPARE(spy.count(), 0);
    QCOMPARE(d.form()->playtoscore->value(), 550);
    QTest::mouseClick(d.form()->button_start, Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!d.isVisible());
}

void TestGamestart::notConnected()
{
    Tchat chat;
    Tgamestart d;
    chat.setGamestart(&d);
    chat.button_startClick();
    QCOMPARE(shown, QStringList{"You are not connected"});
    QVERIFY(!d.isVisible());
}

void TestGamestart::startsAGameThroughTheHost()
{
    Tabout about;
    TServer server;
    Tchat chat;
    // As the program has it: the dialog is made at its first use, wired then.
    std::unique_ptr<Tgamestart> made;
    chat.setGamestart(Later<Tgamestart>(std::function<Tgamestart *()>([&made] {
        made = std::make_unique<Tgamestart>();
        return made.get();
    })));
    useHost(chat, &server);
    chat.setAbout(&about);
    chat.setArguments({});
    chat.setPort(0);
    chat.show();
    QTRY_VERIFY(chat.model().loggedin());
    QVERIFY(!made);
    chat.form()->StartGame1->trigger();
    QVERIFY(made && made->isVisible());
    Tgamestart &d = *made;
    QTest::mouseClick(d.form()->button_start, Qt::LeftButton);
    QTRY_VERIFY(server.game().state().gameon);
    // Without a settings file the dialog holds the settings' defaults.
    QCOMPARE(server.game().state().playto, 110);
    QCOMPARE(server.game().state().turntime, 70);
    QCOMPARE(server.game().state().curplayer, 1);
    QVERIFY(shown.isEmpty());

    // Once somebody has won, Play Again on the results opens the options
    // with the last game's values, no question asked.
    server.game().state().seats[1].score = 999;
    server.game().checkforwin(2); // the round ends with Klot's seat
    chat.model().sendChat("gg", 0); // the host tells what happened as it handles this
    QTRY_VERIFY(!chat.model().gameRunning());
    auto *again = chat.turnPanel().resultsPanel()->findChild<QPushButton *>("button_playagain");
    QTRY_VERIFY(chat.turnPanel().resultsPanel()->isVisible());
    QVERIFY(again && again->isVisible());
    d.hide();
    QTest::mouseClick(again, Qt::LeftButton);
    QVERIFY(d.isVisible());
    QCOMPARE(d.form()->playtoscore->value(), 110);
}

// In a running game, Ctrl+N asks before the options dialog opens, and File →
// Exit in the hosting copy says how many others the game would end for.
void TestGamestart::noGameLostByAStrayKey_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no keeps the game") << false;
    QTest::newRow("yes goes on") << true;
}

void TestGamestart::noGameLostByAStrayKey()
{
    QFETCH(bool, answer);
    QStringList asked;
    ui::setQuestionSink([&](const QString &q) {
        asked << q;
        return answer;
    });
    Tabout about;
    TServer server;
    Tchat chat;
    Tgamestart d;
    useHost(chat, &server);
    chat.setAbout(&about);
    chat.setGamestart(&d);
    chat.setArguments({});
    chat.setPort(0);
    chat.show();
    QTRY_VERIFY(chat.model().loggedin());
    RawClient bo(server.listeningPort());
    QVERIFY(bo.waitForMessages(1));
    bo.write("CMD_logininfo+2+1.0.16+Bo" + QByteArray(1, wire::Terminator));
    QTRY_COMPARE(chat.model().othersPresent(), 1);
    chat.model().startGame({"You", 110, 70, "f", 1});
    QTRY_VERIFY(chat.model().gameRunning());

    QTest::keyClick(&chat, Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(asked, QStringList{"Abandon the game in progress?"});
    QCOMPARE(d.isVisible(), answer);
    QVERIFY(server.game().state().gameon);
    d.hide();

    chat.form()->Exit1->trigger();
    QCOMPARE(asked.last(), QString("1 other player is connected to your game. Close it anyway?"));
    QCOMPARE(chat.isVisible(), !answer);
    ui::setQuestionSink(nullptr);
}

QTEST_MAIN(TestGamestart)
#include "tst_gamestart.moc"
