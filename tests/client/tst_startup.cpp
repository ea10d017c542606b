#include "usehost.h"
#include "fakehost.h"
#include "message.h"
#include "messages.h"
#include "rawclient.h"
#include "clientfiles.h"
#include "tabout.h"
#include "tchat.h"
#include "reconnect.h"
#include "session.h"
#include "tserver.h"
#include "ttallylist.h"
#include "wiremessages.h"
#include "ui_tchat.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <memory>

namespace {
const QByteArray FF(1, wire::Terminator);
const QString kConnectionEnded =
        "The connection to the host has ended: the host has closed the game, or removed you from it.";
} // namespace

// One copy of the program's windows, wired as the main block wires them.
struct Copy {
    Copy()
    {
        about = std::make_unique<Tabout>();
        server = std::make_unique<TServer>();
        chat = std::make_unique<Tchat>();
        useHost(chat, server.get());
        chat->setAbout(about.get());
    }
    std::unique_ptr<Tabout> about;
    std::unique_ptr<TServer> server;
    std::unique_ptr<Tchat> chat;

    // The view's lines without the spaces the layout puts around words.
    QString chatText() const
    {
        QStringList lines = chat->form()->mainchat->toPlainText().split('\n');
        for (QString &l : lines)
            l = l.simplified(); // the spacing after a head is not what these tests read
        return lines.join('\n');
    }
};

// Joins the copy, as "Ann", to a stand-in host; returns the host's end.
QTcpSocket *joinFake(Copy &copy, FakeHost &fake)
{
    copy.chat->setArguments({"Ann", "127.0.0.1", "join"});
    copy.chat->setPort(fake.port());
    copy.chat->show();
    return fake.accept() ? fake.peer : nullptr;
}

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void arguments_data();
    void arguments();
    void loginMessage();
    void fullClosesWindow_data();
    void fullClosesWindow();
    void hostClosingClosesWindow_data();
    void hostClosingClosesWindow();
    void droppedConnection_data();
    void droppedConnection();
    void versionNotes();
    void listenFailure();
    void lookupFailure();
    void malformedNumberIsReported();
    void firstGameCountsOwnWords();
    void unreachableHost_data();
    void unreachableHost();

private:
    ClientFiles workDir;
    QStringList shown;
};

void TestStartup::init()
{
    workDir.fresh();
    shown.clear();
    ui::setMessageSink([this](const QString &t) { shown << t; });
}

void TestStartup::cleanup()
{
    ui::setMessageSink(nullptr);
    ui::setQuestionSink(nullptr);
}

void TestStartup::arguments_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("mode"); // host, join or none
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QByteArray>("stored"); // the name the settings file holds

    const QString multi = QStringLiteral("Loading Multi-player Game.. Please Wait.");
    const QString solo = QStringLiteral("Loading Solo Game..Please wait.");
    QTest::newRow("solo") << QStringList{} << "host"
                          << "You" << solo << QByteArray();
    QTest::newRow("solo, a name given once") << QStringList{} << "host"
                                             << "Zed" << solo << QByteArray("Zed");
    QTest::newRow("host") << QStringList{"Ann", "10.0.0.5", "true"} << "host"
                          << "Ann" << multi << QByteArray("Zed");
    QTest::newRow("join false") << QStringList{"Ann", "127.0.0.1", "false"} << "join"
                                << "Ann" << multi << QByteArray();
    QTest::newRow("join True") << QStringList{"Ann", "127.0.0.1", "True"} << "join"
                               << "Ann" << multi << QByteArray();
    QTest::newRow("extra ignored") << QStringList{"Ann", "127.0.0.1", "true", "x"} << "host"
                                   << "Ann" << multi << QByteArray();
    QTest::newRow("two args") << QStringList{"Ann", "127.0.0.1"} << "none"
                              << "" << multi << QByteArray();
    QTest::newRow("one arg") << QStringList{"Ann"} << "none"
                             << "" << multi << QByteArray();
}

void TestStartup::arguments()
{
    QFETCH(QStringList, args);
    QFETCH(QString, mode);
    QFETCH(QString, name);
    QFETCH(QString, firstLine);
    QFETCH(QByteArray, stored);

    // A separate host stands where a joining copy would find one.
    TServer remote;
    QVERIFY(remote.listen(0));

    Copy copy;
    if (!stored.isEmpty())
        copy.chat->preferences().setLobby(stored, std::nullopt);
    copy.chat->setArguments(args);
    copy.chat->setPort(mode == "join" ? remote.listeningPort() : 0);
    copy.chat->show();
    QCOMPARE(copy.chatText().split('\n').first(), firstLine);

    if (mode == "none") {
        settle(150);
        QCOMPARE(copy.chat->model().socket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(!copy.chat->model().loggedin());
        QCOMPARE(copy.server->listeningPort(), quint16(0));
        return;
    }
    QTRY_VERIFY(copy.chat->model().loggedin());
    TServer *host = mode == "host" ? copy.server.get() : &remote;
    QTRY_COMPARE(host->tplayers[1].name, name.toLatin1());
    QCOMPARE(copy.chat->model().myslot(), 1);
    QCOMPARE(copy.chat->model().ishost(), mode == "host");
    QCOMPARE(copy.chat->form()->button_start->isVisible(), mode == "host");
    QCOMPARE(copy.chat->form()->StartGame1->isEnabled(), mode == "host");
    if (mode == "join")
        QCOMPARE(copy.server->listeningPort(), quint16(0));
}

void TestStartup::loginMessage()
{
    FakeHost fake;
    Copy copy;
    QTcpSocket *peer = joinFake(copy, fake);
    QVERIFY(peer);
    peer->write("CMD_sendlogininfo+3" + FF);
    QByteArray got;
    const QByteArray expected = "CMD_logininfo+3+1.0.16+Ann" + FF + FF;
    QTRY_VERIFY((got += peer->readAll()).size() >= expected.size());
    QCOMPARE(got, expected);
    QCOMPARE(copy.chat->model().myslot(), 3);
}

// One box, then the window closes: also when the host drops the connection
// while the box is still up (a real box runs the events meanwhile).
void TestStartup::fullClosesWindow_data()
{
    QTest::addColumn<bool>("dropWhileShown");
    QTest::newRow("box closed first") << false;
    QTest::newRow("host drops meanwhile") << true;
}

void TestStartup::fullClosesWindow()
{
    QFETCH(bool, dropWhileShown);
    FakeHost fake;
    Copy copy;
    QSignalSpy closed(copy.chat.get(), &Tchat::closed);
    QTcpSocket *peer = joinFake(copy, fake);
    QVERIFY(peer);
    ui::setMessageSink([&](const QString &t) {
        shown << t;
        if (dropWhileShown && shown.size() == 1) {
            peer->disconnectFromHost();
            QTest::qWait(200);
        }
    });
    peer->write("CMD_full+" + FF);
    QTRY_COMPARE(closed.count(), 1);
    settle(100);
    QCOMPARE(shown, QStringList{"Game is full"});
    QVERIFY(!copy.chat->isVisible());
}

void TestStartup::hostClosingClosesWindow_data()
{
    QTest::addColumn<bool>("game");
    QTest::newRow("no game") << false;
    QTest::newRow("mid-game: the host's goodbye, not a network fault") << true;
}

void TestStartup::hostClosingClosesWindow()
{
    QFETCH(bool, game);
    ui::setQuestionSink([](const QString &) { return true; });
    Copy hosting;
    hosting.chat->setArguments({"Host", "x", "true"});
    hosting.chat->setPort(0);
    hosting.chat->show();
    QTRY_VERIFY(hosting.chat->model().loggedin());

    Copy joined;
    QSignalSpy closed(joined.chat.get(), &Tchat::closed);
    joined.chat->setArguments({"Ann", "127.0.0.1", "false"});
    joined.chat->setPort(hosting.server->listeningPort());
    joined.chat->show();
    QTRY_VERIFY(joined.chat->model().loggedin());
    QCOMPARE(joined.chat->model().myslot(), 2);
    if (game) {
        hosting.chat->model().send("CMD_startgame+Host+500+60+f+1+" + FF);
        QTRY_VERIFY(joined.chat->model().gameRunning());
    }

    hosting.server.reset(); // the hosting copy ends
    QTRY_COMPARE(closed.count(), 1);
    // Told why before the window goes (the hosting copy's own window lost
    // its host too).
    QVERIFY(shown.contains(kConnectionEnded));
    QVERIFY(joined.chatText().contains(kConnectionEnded));
}

// A joined game whose connection drops without the host's goodbye offers to
// reconnect; the stand-in host comes back after 5 s and the window is in its
// seat again. A kick (the host's goodbye to this user) ends as ever.
void TestStartup::droppedConnection_data()
{
    QTest::addColumn<QByteArray>("goodbye"); // what the host says before the drop
    QTest::addColumn<bool>("offered");
    QTest::newRow("network") << QByteArray() << true;
    QTest::newRow("kicked") << QByteArray("CMD_playerdisconnected+2+Ann") << false;
}

void TestStartup::droppedConnection()
{
    QFETCH(QByteArray, goodbye);
    QFETCH(bool, offered);
    QStringList asked;
    ui::setQuestionSink([&asked](const QString &q) {
        asked << q;
        return true;
    });
    FakeHost fake;
    const quint16 port = fake.port();
    Copy copy;
    QSignalSpy closed(copy.chat.get(), &Tchat::closed);
    QVERIFY(joinFake(copy, fake));
    auto login = [&] {
        fake.say({"CMD_sendlogininfo+2"});
        QByteArray got;
        QTRY_VERIFY((got += fake.heard(20)).contains("CMD_logininfo+2+"));
        fake.say({"CMD_newplayerinfo+2+Ann+0"});
    };
    login();
    fake.say({"CMD_startgame+Bo+500+60+f+1+"});
    QTRY_VERIFY(copy.chat->model().gameRunning());
    if (!goodbye.isEmpty())
        fake.say({goodbye});
    QTest::qWait(50);
    fake.server.close();
    fake.peer->abort();
    QTRY_COMPARE(asked.size() + closed.count(), 1);
    if (!offered) {
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(asked.isEmpty());
        QVERIFY(shown.contains(kConnectionEnded));
        return;
    }
    QVERIFY(copy.chat->session().reconnect().running());
    QVERIFY(copy.chat->session().reconnect().text().contains(" s left"));
    QTest::qWait(5000);
    QVERIFY(fake.server.listen(QHostAddress::LocalHost, port));
    QTRY_VERIFY_WITH_TIMEOUT(fake.server.hasPendingConnections(), 5000);
    QVERIFY(fake.accept());
    login();
    QTRY_VERIFY(!copy.chat->session().reconnect().running());
    QCOMPARE(copy.chat->model().myslot(), 2);
    QVERIFY(copy.chatText().contains("You are back in the game."));
    QCOMPARE(closed.count(), 0);
}

void TestStartup::versionNotes()
{
    FakeHost fake;
    Copy copy;
    QTcpSocket *peer = joinFake(copy, fake);
    QVERIFY(peer);
    peer->write("CMD_sendlogininfo+1" + FF + "CMD_havewrongversion+Bo" + FF + "CMD_wrongversion+" + FF);
    QTRY_VERIFY(copy.chatText().contains("differnt"));
    const QStringList lines = copy.chatText().split('\n');
    QCOMPARE(lines.mid(1),
            (QStringList{"Bo has a different version of the game then you.",
                    "You have a differnt version of the game then the host."}));
}

void TestStartup::listenFailure()
{
    QTcpServer squatter;
    QVERIFY(squatter.listen(QHostAddress::AnyIPv4));
    Copy copy;
    copy.chat->setArguments({});
    copy.chat->setPort(squatter.serverPort());
    copy.chat->show();
    QCOMPARE(shown.size(), 1);
    // The message the host gives, then what it means and what to do.
    QVERIFY(shown[0].startsWith("Listen - Error Binding Socket\n\nAnother program, or another copy of the game, is "
                                "using port "
            + QString::number(squatter.serverPort())));
    QVERIFY(copy.chatText().contains("is using port"));
    QVERIFY(!copy.chat->model().ishost());
    settle(100);
    QVERIFY(!copy.chat->model().loggedin());
}

void TestStartup::lookupFailure()
{
    Copy copy;
    copy.chat->setArguments({"Ann", "no-such-host.invalid", "join"});
    copy.chat->show();
    QTRY_COMPARE_WITH_TIMEOUT(shown, QStringList{"Host Lookup - Could Not Find Host Entry"}, 10000);
    QVERIFY(!copy.chat->model().loggedin());
}

void TestStartup::malformedNumberIsReported()
{
    FakeHost fake;
    Copy copy;
    QTcpSocket *peer = joinFake(copy, fake);
    QVERIFY(peer);
    peer->write("CMD_sendlogininfo+x1" + FF + "CMD_sendlogininfo+4" + FF);
    QTRY_VERIFY(copy.chat->model().loggedin());
    QCOMPARE(copy.chat->model().myslot(), 4);
    QVERIFY(copy.chatText().contains("'x1' is not a valid integer value"));
    QVERIFY(shown.isEmpty());
}

void TestStartup::unreachableHost_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("reason"); // empty: whatever the network says
    QTest::newRow("nothing listens") << "127.0.0.1"
                                     << "nothing is listening there (connection refused)";
    // A documentation address: nothing ever answers (or the network says
    // at once that it cannot be reached).
    QTest::newRow("no answer") << "192.0.2.1"
                               << "";
}

void TestStartup::unreachableHost()
{
    QFETCH(QString, address);
    QFETCH(QString, reason);
    QTcpServer probe; // a port that was free a moment ago
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
    QStringList asked;
    ui::setQuestionSink([&](const QString &q) {
        asked << q;
        return asked.size() == 1; // try again once, then give up
    });
    Copy copy;
    copy.chat->model().setConnectTimeout(400);
    copy.chat->setArguments({"Ann", address, "false"});
    copy.chat->setPort(port);
    copy.chat->show();
    QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 2, 5000);
    ui::setQuestionSink(nullptr);
    const QString prefix = "Could not reach the host at " + address + ": ";
    for (const QString &q : asked) {
        QVERIFY2(q.startsWith(prefix) && q.endsWith("\n\nTry again?"), qPrintable(q));
        if (!reason.isEmpty())
            QCOMPARE(q, prefix + reason + ".\n\nTry again?");
    }
    QCOMPARE(copy.chatText().count(prefix), 2);
    QVERIFY(copy.chat->isVisible());
    QVERIFY(shown.isEmpty());
}

// A host that names nobody before the start: Klot takes seat 2 before the
// tally's list of opponents is read, so the first game's words count.
void TestStartup::firstGameCountsOwnWords()
{
    FakeHost fake;
    Copy copy;
    Ttallylist tally;
    copy.chat->setTally(&tally);
    QVERIFY(joinFake(copy, fake));
    fake.say({"CMD_sendlogininfo+1"});
    QTRY_VERIFY(copy.chat->model().loggedin());
    const QList<QPoint> cells{{0, 0}, {1, 0}, {2, 0}};
    fake.say({wire::msg::startgame("Ann", 500, 60, "f", 1).chopped(1), wire::msg::nextplayer(1, 1).chopped(1),
            wire::msg::madeword(1, "CAT", 42, 42, {0, 0}, cells).chopped(1)});
    QTRY_COMPARE(tally.model().cell(0, 3), QString("1"));
    QCOMPARE(tally.model().cell(0, 5), QString("42"));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
