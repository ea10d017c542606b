// Internet play on a small internet of network namespaces (internet.sh):
// the lobby's server runs the Mosquitto and coturn we ship, the host sits
// behind a home router of one kind or another (or on the internet itself),
// and this test, as the joiner, sits behind a router of its own. In each
// case the joiner finds the game in the lobby, reaches the host by the path
// that case allows, logs in and sees the game start.
// And the joiner's home losing its internet link while the lobby is open.

#include "framer.h"
#include "internetlobby.h"
#include "internetpath.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sched.h>
#include <unistd.h>

using lobby::InternetGame;

namespace {

bool g_ownNetwork = false;
const QString Broker = QStringLiteral("11.0.0.1:1883");

class Internet {
public:
    Internet(const QString &hostNat, const QString &joinNat)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(WM_INTERNET_SCRIPT), {QStringLiteral("start"), dir.path(), hostNat, joinNat});
        p.waitForFinished(20000);
        output = p.readAll();
        started = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    ~Internet()
    {
        if (host.state() != QProcess::NotRunning) {
            host.kill();
            host.waitForFinished(3000);
        }
        QProcess::execute(QStringLiteral(WM_INTERNET_SCRIPT), {QStringLiteral("stop"), dir.path()});
    }
    // The hosting copy, in the host's namespace.
    void startHost(bool openRouterPort)
    {
        QFile pid(dir.filePath(QStringLiteral("host.pid")));
        pid.open(QIODevice::ReadOnly);
        host.setProcessChannelMode(QProcess::MergedChannels);
        // The host writes its word list where it runs.
        host.setWorkingDirectory(dir.path());
        host.start(QStringLiteral("nsenter"),
                {QStringLiteral("-t"), QString::fromLatin1(pid.readAll().trimmed()), QStringLiteral("-n"),
                        QStringLiteral(WM_INTERNET_HOST), Broker,
                        openRouterPort ? QStringLiteral("1") : QStringLiteral("0")});
        QObject::connect(&host, &QProcess::readyRead, [this] { said += host.readAll(); });
    }

    QTemporaryDir dir;
    QByteArray output;
    bool started = false;
    QProcess host;
    QByteArray said;
};

// The joining player's window, as a bare connection: it logs in when asked
// and collects what the host sends.
struct Joiner {
    explicit Joiner(const QString &address)
    {
        QObject::connect(&sock, &QTcpSocket::readyRead, [this] {
            QList<QByteArray> in;
            framer.feed(sock.readAll(), in);
            for (const QByteArray &m : in) {
                if (m.startsWith("CMD_sendlogininfo+"))
                    sock.write("CMD_logininfo+" + m.mid(18) + "+1.0.16+Joiner\xff");
                messages << m;
            }
        });
        const qsizetype colon = address.lastIndexOf(QLatin1Char(':'));
        sock.connectToHost(address.left(colon), address.mid(colon + 1).toUShort());
    }
    bool heard(const QByteArray &start) const
    {
        return std::any_of(
                messages.cbegin(), messages.cend(), [&](const QByteArray &m) { return m.startsWith(start); });
    }
    QTcpSocket sock;
    wire::Framer framer;
    QList<QByteArray> messages;
};

} // namespace

class TestInternetPlay : public QObject {
    Q_OBJECT
private slots:
    void joinsEveryKindOfHost_data();
    void joinsEveryKindOfHost();
    void lobbyOutageToldAndOver();
};

void TestInternetPlay::joinsEveryKindOfHost_data()
{
    QTest::addColumn<QString>("hostNat");
    QTest::addColumn<QString>("joinNat");
    QTest::addColumn<int>("reach");
    QTest::addColumn<QString>("hostTold");
    QTest::addColumn<QString>("path");
    const int router = int(InternetGame::Reach::Router);
    const int own = int(InternetGame::Reach::Own);
    const int relay = int(InternetGame::Reach::Lobby);
    QTest::newRow("host's router opens the port (UPnP)") << "upnp"
                                                         << "cone" << router << "through your router's open port"
                                                         << "at the address the host listed";
    QTest::newRow("host's router does not (plain NAT): ICE punches through")
            << "cone"
            << "cone" << relay << "through the lobby's relay"
            << "straight through both routers";
    QTest::newRow("both behind symmetric NATs: the TURN relay") << "symmetric"
                                                                << "symmetric" << relay << "through the lobby's relay"
                                                                << "through the lobby's relay";
    QTest::newRow("host with an address of its own") << "public"
                                                     << "cone" << own << "directly at 11.0.0.5"
                                                     << "at the address the host listed";
}

void TestInternetPlay::joinsEveryKindOfHost()
{
    if (!g_ownNetwork)
        QSKIP("needs root, for network namespaces of the test's own");
    QFETCH(QString, hostNat);
    QFETCH(QString, joinNat);
    QFETCH(int, reach);
    QFETCH(QString, hostTold);
    QFETCH(QString, path);
    Internet net(hostNat, joinNat);
    QVERIFY2(net.started, net.output.constData());
    net.startHost(true);

    lobby::InternetLobby lobby;
    lobby.open(Broker);
    QTRY_VERIFY2_WITH_TIMEOUT(lobby.model().games().size() == 1, net.said.constData(), 20000);
    const InternetGame game = lobby.model().games().constFirst();
    QCOMPARE(int(game.reach), reach);
    QTRY_VERIFY2_WITH_TIMEOUT(net.said.contains(hostTold.toLatin1()), net.said.constData(), 5000);
    // A router that opens nothing is no dead end, and the host is not told
    // to forward a port by hand.
    QVERIFY2(!net.said.contains("forward TCP port"), net.said.constData());

    lobby::JoinPath join(lobby, game);
    QSignalSpy through(&join, &lobby::JoinPath::through);
    QSignalSpy failed(&join, &lobby::JoinPath::failed);
    Joiner joiner(join.address());
    QTRY_VERIFY2_WITH_TIMEOUT(joiner.heard("CMD_theboard") || !failed.isEmpty(), net.said.constData(), 40000);
    QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(0).toString()));
    QVERIFY(joiner.heard("CMD_newplayerinfo+2+Joiner"));
    QVERIFY(joiner.heard("CMD_startgame"));
    QTRY_COMPARE_WITH_TIMEOUT(through.value(0).value(0).toString(), path, 20000);
}

// The home's internet goes (its router's link to it taken down) while the
// lobby lists a game: the window is told the lobby is lost and shows no list
// it cannot vouch for; when the link comes back the lobby connects again by
// itself and the game is listed again.
void TestInternetPlay::lobbyOutageToldAndOver()
{
    if (!g_ownNetwork)
        QSKIP("needs root, for network namespaces of the test's own");
    Internet net(QStringLiteral("public"), QStringLiteral("cone"));
    QVERIFY2(net.started, net.output.constData());
    net.startHost(false);
    lobby::InternetLobby lobby;
    lobby.open(Broker);
    QTRY_VERIFY2_WITH_TIMEOUT(lobby.model().games().size() == 1, net.said.constData(), 20000);
    QVERIFY(lobby.status().startsWith("Connected to the internet lobby"));

    QFile pid(net.dir.filePath(QStringLiteral("joinrouter.pid")));
    QVERIFY(pid.open(QIODevice::ReadOnly));
    const QString router = QString::fromLatin1(pid.readAll().trimmed());
    const auto wan = [&router](const char *state) {
        return QProcess::execute(QStringLiteral("nsenter"),
                {QStringLiteral("-t"), router, QStringLiteral("-n"), QStringLiteral("ip"), QStringLiteral("link"),
                        QStringLiteral("set"), QStringLiteral("wan0"), QLatin1String(state)});
    };
    QElapsedTimer outage;
    outage.start();
    QCOMPARE(wan("down"), 0);
    // Noticed within the connection's keep-alive (30 s), and twice that at most.
    QTRY_VERIFY_WITH_TIMEOUT(!lobby.status().startsWith("Connected"), 75000);
    QVERIFY2(lobby.status().startsWith("Lost the internet lobby at 11.0.0.1:1883")
                    || lobby.status().contains("does not answer; still trying"),
            qPrintable(lobby.status()));
    QVERIFY(lobby.model().games().isEmpty());
    qInfo("the lost lobby was noticed after %lld ms", outage.elapsed());

    QCOMPARE(wan("up"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(lobby.status().startsWith("Connected to the internet lobby"), 60000);
    QTRY_COMPARE_WITH_TIMEOUT(lobby.model().games().size(), 1, 20000);
    QCOMPARE(lobby.model().games().constFirst().address, QStringLiteral("11.0.0.5"));
}

int main(int argc, char **argv)
{
    // Before any thread starts: the namespace is the whole process's.
    g_ownNetwork = geteuid() == 0 && unshare(CLONE_NEWNET) == 0;
    QCoreApplication app(argc, argv);
    if (g_ownNetwork)
        QProcess::execute(QStringLiteral("ip"),
                {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
    TestInternetPlay t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_internetplay.moc"
