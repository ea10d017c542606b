// Hosting and joining from inside the game: announcements on the local
// network, the list of games heard, and a join with one click.

#include "clientfiles.h"
#include "lobby.h"
#include "messages.h"
#include "recordingplayer.h"
#include "settings.h"
#include "tchat.h"
#include "tlobby.h"
#include "tserver.h"
#include "usehost.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

class TestLobby : public QObject {
    Q_OBJECT
private slots:
    void datagrams_data();
    void datagrams();
    void hostAnnouncesAndOtherJoins();
    void joinByHand();
};

void TestLobby::datagrams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::newRow("an announcement") << QByteArray("WORDMIRE-LOBBY 1\n2\n1\nAnn Lee") << true;
    QTest::newRow("other magic") << QByteArray("WORDMIRE-LOBBY 2\n2\n1\nAnn") << false;
    QTest::newRow("five seats") << QByteArray("WORDMIRE-LOBBY 1\n5\n1\nAnn") << false;
    QTest::newRow("running is 2") << QByteArray("WORDMIRE-LOBBY 1\n2\n2\nAnn") << false;
    QTest::newRow("no name") << QByteArray("WORDMIRE-LOBBY 1\n2\n0\n") << false;
    QTest::newRow("control in name") << QByteArray("WORDMIRE-LOBBY 1\n2\n0\nA\x01n") << false;
    QTest::newRow("extra field") << QByteArray("WORDMIRE-LOBBY 1\n2\n0\nAnn\nx") << false;
    QTest::newRow("name too long") << QByteArray("WORDMIRE-LOBBY 1\n2\n0\n" + QByteArray(25, 'a')) << false;
    QTest::newRow("oversized") << QByteArray("WORDMIRE-LOBBY 1\n2\n0\nAnn" + QByteArray(200, ' ')) << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestLobby::datagrams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    const auto a = lobby::decode(bytes);
    QCOMPARE(a.has_value(), valid);
    if (valid)
        QCOMPARE(lobby::encode(*a), std::optional<QByteArray>(bytes));

    // Sent to a listening dialog, only a valid one is listed; the dialog
    // keeps listening either way.
    Tlobby dialog;
    dialog.setListenPort(0);
    dialog.show();
    const quint16 port = dialog.listener().port();
    QVERIFY(port != 0);
    QUdpSocket out;
    out.writeDatagram(bytes, QHostAddress::LocalHost, port);
    out.writeDatagram(QByteArray(4000, 'W'), QHostAddress::LocalHost, port);
    if (valid) {
        QTRY_COMPARE(dialog.hostList()->count(), 1);
    } else {
        QTest::qWait(100);
        QCOMPARE(dialog.hostList()->count(), 0);
        out.writeDatagram("WORDMIRE-LOBBY 1\n0\n0\nZed", QHostAddress::LocalHost, port);
        QTRY_COMPARE(dialog.hostList()->count(), 1);
    }
}

void TestLobby::hostAnnouncesAndOtherJoins()
{
    // The hosting copy: a solo game whose user hosts it from the dialog.
    ClientFiles hostFiles;
    TServer server;
    Tchat host;
    Tlobby hostDialog;
    useHost(host, &server);
    RecordingPlayer quiet; // the game's sounds stay out of the audio system
    host.setSoundPlayer(&quiet);
    host.setPort(0);
    host.setArguments({});
    host.setLobby(&hostDialog);
    host.show();
    QTRY_VERIFY(host.model().loggedin());

    // The other copy is looking.
    Tchat other;
    Tlobby looking;
    other.setLobby(&looking);
    looking.setListenPort(0);
    looking.listener().setExpiry(300);
    other.showLobby();
    QVERIFY(looking.isVisible());
    host.announcer().setPort(looking.listener().port());

    hostDialog.setName("Ann");
    hostDialog.hostButton()->click();
    QVERIFY(host.announcer().isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(looking.hostList()->count(), 1, 3000);
    const auto heard = looking.listener().hosts().first();
    QCOMPARE(heard.announcement, (lobby::Announcement{"Ann", 1, false}));

    // The hosting copy's own dialog does not offer its own game.
    hostDialog.setListenPort(0);
    hostDialog.show();
    QUdpSocket out;
    for (const char *name : {"Ann", "Zed"})
        out.writeDatagram(*lobby::encode({name, 1, false}), QHostAddress::LocalHost, hostDialog.listener().port());
    QTRY_COMPARE(hostDialog.listener().hosts().size(), 1); // one address: the later name replaces the first
    QTRY_COMPARE(hostDialog.hostList()->count(), 1);
    out.writeDatagram(*lobby::encode({"Ann", 1, false}), QHostAddress::LocalHost, hostDialog.listener().port());
    QTRY_COMPARE(hostDialog.listener().hosts().first().announcement.name, QString("Ann"));
    QCOMPARE(hostDialog.hostList()->count(), 0);

    // One click on its Join button: this copy ends, to start again joined.
    looking.setName("Bo");
    QSignalSpy closed(&other, &Tchat::closed);
    auto *join = looking.hostList()->findChild<QPushButton *>("join_" + heard.address.toString());
    QVERIFY(join);
    join->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(other.restartArguments(), (QStringList{"Bo", heard.address.toString(), "false"}));
    const auto stored = settings::read(SettingsFile(settings::besideExecutable(settings::FileName)).read());
    QCOMPARE(stored.lobbyname, QByteArray("Bo"));
    QCOMPARE(stored.lobbyaddress, heard.address.toString().toLatin1());

    // When the host ends, its announcements stop and it drops off the list.
    Tlobby still;
    still.setListenPort(looking.listener().port());
    still.listener().setExpiry(300);
    still.show();
    QTRY_COMPARE_WITH_TIMEOUT(still.hostList()->count(), 1, 3000);
    host.close();
    QVERIFY(!host.announcer().isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(still.hostList()->count(), 0, 3000);
}

void TestLobby::joinByHand()
{
    ClientFiles files;
    Tchat chat;
    Tlobby dialog;
    chat.setLobby(&dialog);
    dialog.setListenPort(0);
    QStringList shown;
    ui::setMessageSink([&](const QString &t) { shown << t; });
    const struct {
        const char *name;
        const char *address;
        bool joins;
    } cases[] = {{"", "10.0.0.2", false}, {"Bo", "", false}, {"Bo", "a b", false}, {"Bo", "host.lan", true}};
    for (const auto &c : cases) {
        chat.showLobby();
        dialog.setName(c.name);
        dialog.setAddress(c.address);
        dialog.joinButton()->click();
        QCOMPARE(chat.restartArguments().isEmpty(), !c.joins);
        if (!c.joins)
            QVERIFY(!dialog.statusLabel()->text().isEmpty());
    }
    QCOMPARE(chat.restartArguments(), (QStringList{"Bo", "host.lan", "false"}));
    ui::setMessageSink(nullptr);
    // The dialog refuses the field separator in a name.
    dialog.setName("");
    QTest::keyClicks(dialog.findChild<QLineEdit *>(), "A+b");
    QCOMPARE(dialog.name(), QString("Ab"));
}

QTEST_MAIN(TestLobby)
#include "tst_lobby.moc"
