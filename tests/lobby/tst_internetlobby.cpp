// The internet lobby against a real Mosquitto broker started here, with the
// access list we ship: games seen across copies, cleared by a clean stop and
// by a killed host's last will, a client kept off another's topic, and a
// broker that passes on anything (no access list) unable to do harm.

#include "broker.h"
#include "internetlobby.h"
#include "netbackend.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <mosquitto.h>

using lobby::InternetGame;
using lobby::InternetLobby;

namespace {

InternetGame game(const QString &name, const QString &address = QStringLiteral("81.2.69.5"))
{
    InternetGame g;
    g.name = name;
    g.seatsTaken = 1;
    g.address = address;
    return g;
}

// A client that says whatever it likes, as any program on the internet may.
class RawClient {
public:
    RawClient(quint16 port, const QByteArray &id)
    {
        mosquitto_lib_init();
        m = mosquitto_new(id.constData(), true, nullptr);
        ok = mosquitto_connect(m, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS;
        mosquitto_loop_start(m);
    }
    ~RawClient()
    {
        mosquitto_disconnect(m);
        mosquitto_loop_stop(m, false);
        mosquitto_destroy(m);
    }
    void publish(const QByteArray &topic, const QByteArray &payload, bool retain = true)
    {
        mosquitto_publish(m, nullptr, topic.constData(), int(payload.size()), payload.constData(), 1, retain);
    }
    mosquitto *m;
    bool ok = false;
};

bool lists(InternetLobby &l, const QString &name)
{
    const auto &games = l.model().games();
    return std::any_of(games.begin(), games.end(), [&](const InternetGame &g) { return g.name == name; });
}

} // namespace

class TestInternetLobby : public QObject {
    Q_OBJECT
private slots:
    void internetAddresses_data();
    void internetAddresses();
    void initTestCase();
    void games_data();
    void games();
    void chatLines_data();
    void chatLines();
    void brokerAddresses_data();
    void brokerAddresses();
    void copiesSeeEachOther();
    void killedHostVanishes();
    void noWritingOnAnothersTopic();
    void churnKeepsTheCalmGame();
    void listedOnceHeld_data();
    void listedOnceHeld();
    void lyingBroker();
    void unreachableBrokerSaysSo();
    void tlsLobby_data();
    void tlsLobby();

private:
    std::unique_ptr<Broker> m_broker;
};

void TestInternetLobby::internetAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("internet");
    const struct {
        const char *address;
        bool internet;
    } rows[] = {{"11.22.33.44", true}, {"8.8.8.8", true}, {"2a00:1450::1", true}, {"::ffff:11.22.33.44", true},
            {"64:ff9b::b16:212c", true}, // NAT64 of 11.22.33.44
            {"255.255.255.255", false}, {"224.0.0.1", false}, {"240.1.2.3", false}, {"0.1.2.3", false},
            {"10.1.2.3", false}, {"172.20.0.1", false}, {"192.168.1.1", false}, {"100.64.0.1", false},
            {"198.18.0.1", false}, {"198.19.255.255", false}, {"127.0.0.1", false}, {"169.254.1.1", false},
            {"fc00::1", false}, {"fd12::1", false}, {"fec0::1", false}, {"fe80::1", false}, {"ff02::1", false},
            {"::1", false}, {"::ffff:192.168.1.1", false}, {"64:ff9b::c0a8:101", false}, // NAT64 of 192.168.1.1
            {"", false}, {"not an address", false}};
    for (const auto &r : rows)
        QTest::newRow(r.address) << QString::fromLatin1(r.address) << r.internet;
}

// Only an address somebody on the internet could reach is ever listed.
void TestInternetLobby::internetAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, internet);
    QCOMPARE(lobby::isInternetAddress(QHostAddress(address)), internet);
}

void TestInternetLobby::initTestCase()
{
    m_broker = std::make_unique<Broker>(true);
    QVERIFY2(m_broker->reachable(), qPrintable(m_broker->process.readAll()));
}

void TestInternetLobby::games_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("taken");
    const auto with = [](const char *field, const QJsonValue &value) {
        QJsonObject o{{"name", "Ann"}, {"seats", 2}, {"running", false}, {"address", "81.2.69.5"}, {"port", 7772}};
        if (value.isUndefined())
            o.remove(QLatin1String(field));
        else
            o[QLatin1String(field)] = value;
        return QJsonDocument(o).toJson(QJsonDocument::Compact);
    };
    QTest::newRow("a game") << with("name", "Ann") << true;
    QTest::newRow("IPv6 address") << with("address", "2a01:4f8::5") << true;
    QTest::newRow("not JSON") << QByteArray("Ann hosts") << false;
    QTest::newRow("an array") << QByteArray("[1,2]") << false;
    QTest::newRow("oversized") << with("extra", QString(lobby::MaxMessage, QLatin1Char('x'))) << false;
    QTest::newRow("no name") << with("name", QJsonValue::Undefined) << false;
    QTest::newRow("name with control code") << with("name", QStringLiteral("A\x07nn")) << false;
    QTest::newRow("name with +") << with("name", "A+nn") << false;
    QTest::newRow("name too long") << with("name", QString(25, QLatin1Char('a'))) << false;
    QTest::newRow("name not Latin-1") << with("name", QStringLiteral("An\u4e00")) << false;
    QTest::newRow("five seats") << with("seats", 5) << false;
    QTest::newRow("half a seat") << with("seats", 1.5) << false;
    QTest::newRow("running as text") << with("running", "yes") << false;
    QTest::newRow("address a name") << with("address", "example.com") << false;
    QTest::newRow("address out of range") << with("address", "999.1.1.1") << false;
    QTest::newRow("address short form") << with("address", "203.5") << false;
    QTest::newRow("loopback address") << with("address", "127.0.0.1") << false;
    QTest::newRow("multicast address") << with("address", "224.0.0.1") << false;
    QTest::newRow("scoped address") << with("address", "fe80::1%eth0") << false;
    QTest::newRow("no address") << with("address", "0.0.0.0") << false;
    QTest::newRow("private address") << with("address", "10.1.2.3") << false;
    QTest::newRow("documentation address") << with("address", "203.0.113.5") << false;
    QTest::newRow("port 0") << with("port", 0) << false;
    QTest::newRow("a system port") << with("port", 1023) << false;
    QTest::newRow("the lowest game port") << with("port", 1024) << true;
    QTest::newRow("port too big") << with("port", "70000") << false;
}

void TestInternetLobby::games()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, taken);
    const std::optional<InternetGame> g = lobby::decodeGame(payload);
    QCOMPARE(g.has_value(), taken);
    if (g)
        QCOMPARE(lobby::decodeGame(*lobby::encodeGame(*g)), g);
}

void TestInternetLobby::chatLines_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("shown"); // empty: dropped
    QTest::newRow("a line") << QByteArray(R"({"name":"Ann","text":"who plays?"})") << "who plays?";
    QTest::newRow("control codes") << QByteArray(R"({"name":"Ann","text":"a\u0000b\nc"})") << "a b c";
    QTest::newRow("beyond Latin-1") << QByteArray(R"({"name":"Ann","text":"hi \u4e00"})") << "hi ?";
    QTest::newRow("long line cut") << "{\"name\":\"Ann\",\"text\":\"" + QByteArray(1000, 'x') + "\"}"
                                   << QString(lobby::MaxLobbyChat, QLatin1Char('x'));
    QTest::newRow("only spaces") << QByteArray(R"({"name":"Ann","text":"   "})") << "";
    QTest::newRow("bad name") << QByteArray(R"({"name":"A\u0001","text":"hi"})") << "";
    QTest::newRow("text a number") << QByteArray(R"({"name":"Ann","text":5})") << "";
}

void TestInternetLobby::chatLines()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, shown);
    const std::optional<lobby::LobbyLine> line = lobby::decodeChat(payload);
    QCOMPARE(line ? line->text : QString(), shown);
}

void TestInternetLobby::brokerAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host"); // empty: does not read
    QTest::addColumn<int>("port");
    QTest::newRow("name") << "lobby.example.org"
                          << "lobby.example.org" << 1883;
    QTest::newRow("name and port") << "lobby.example.org:8883"
                                   << "lobby.example.org" << 8883;
    QTest::newRow("IPv6 with port") << "[2001:db8::1]:1884"
                                    << "2001:db8::1" << 1884;
    QTest::newRow("bare IPv6") << "2001:db8::1"
                               << "" << 0;
    QTest::newRow("port 0") << "lobby:0"
                            << "" << 0;
    QTest::newRow("port word") << "lobby:mqtt"
                               << "" << 0;
    QTest::newRow("spaces inside") << "lob by"
                                   << "" << 0;
    QTest::newRow("a web address") << "http://lobby"
                                   << "" << 0;
    QTest::newRow("TLS by scheme") << "mqtts://lobby"
                                   << "lobby" << 8883;
    QTest::newRow("plain by scheme") << "mqtt://lobby:1999"
                                     << "lobby" << 1999;
}

void TestInternetLobby::brokerAddresses()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    const auto b = lobby::parseBroker(text);
    QCOMPARE(b ? b->host : QString(), host);
    if (b) {
        QCOMPARE(int(b->port), port);
        QCOMPARE(b->tls, text.startsWith("mqtts:") || port == 8883);
    }
}

void TestInternetLobby::copiesSeeEachOther()
{
    InternetLobby a, b;
    QVERIFY(a.open(m_broker->address()));
    QVERIFY(b.open(m_broker->address()));
    a.publishGame(game(QStringLiteral("Ann")));
    b.publishGame(game(QStringLiteral("Bob"), QStringLiteral("81.2.69.9")));
    QTRY_VERIFY_WITH_TIMEOUT(lists(b, QStringLiteral("Ann")) && lists(a, QStringLiteral("Bob")), 2000);
    // Neither lists itself.
    QCOMPARE(a.model().games().size(), 1);
    QCOMPARE(b.model().games().constFirst().address, QStringLiteral("81.2.69.5"));

    // The lobby chat, one line a second per sender.
    QSignalSpy heard(&b.model(), &lobby::LobbyModel::chatLine);
    QVERIFY(a.say(QStringLiteral("Ann"), QStringLiteral("anyone for a game?")));
    QVERIFY(!a.say(QStringLiteral("Ann"), QStringLiteral("hello?")));
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 1, 2000);
    QCOMPARE(heard.at(0).at(0).value<lobby::LobbyLine>().text, QStringLiteral("anyone for a game?"));
    // Kept for a chat view opened later.
    QCOMPARE(b.model().chat().size(), 1);

    // A clean stop clears the game at once.
    a.close();
    QTRY_VERIFY_WITH_TIMEOUT(!lists(b, QStringLiteral("Ann")), 2000);
}

void TestInternetLobby::killedHostVanishes()
{
    QProcess host;
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("WM_LOBBY_HOST"), m_broker->address());
    host.setProcessEnvironment(env);
    host.start(QCoreApplication::applicationFilePath(), {});
    InternetLobby watcher;
    watcher.open(m_broker->address());
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Killed")), 5000);
    host.kill();
    host.waitForFinished();
    QTRY_VERIFY_WITH_TIMEOUT(!lists(watcher, QStringLiteral("Killed")), 2000);
}

void TestInternetLobby::noWritingOnAnothersTopic()
{
    InternetLobby ann, watcher;
    ann.open(m_broker->address());
    watcher.open(m_broker->address());
    ann.publishGame(game(QStringLiteral("Ann")));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Ann")), 2000);
    RawClient intruder(m_broker->port, "intruder");
    QVERIFY(intruder.ok);
    const QByteArray annTopic = lobby::TopicRoot + "games/" + ann.clientId().toLatin1();
    intruder.publish(annTopic, *lobby::encodeGame(game(QStringLiteral("Mallory"))));
    intruder.publish(annTopic, QByteArray());
    // Its own topic is open to it: once that arrives, the others would have.
    intruder.publish(lobby::TopicRoot + "games/intruder", *lobby::encodeGame(game(QStringLiteral("Ivy"))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Ivy")), 2000);
    QVERIFY(lists(watcher, QStringLiteral("Ann")));
    QVERIFY(!lists(watcher, QStringLiteral("Mallory")));
    intruder.publish(lobby::TopicRoot + "games/intruder", QByteArray());
}

// More games than a lobby keeps, all changing all the time: the window
// takes them in batches, and a calm game that comes in keeps its place
// among them.
void TestInternetLobby::churnKeepsTheCalmGame()
{
    Broker open(false);
    QVERIFY(open.reachable());
    InternetLobby watcher, ann;
    watcher.open(open.address());
    ann.open(open.address());
    QTRY_VERIFY(watcher.state() == InternetLobby::State::Connected && ann.state() == InternetLobby::State::Connected);
    RawClient churn(open.port, "churn");
    QVERIFY(churn.ok);
    QSignalSpy changes(&watcher.model(), &lobby::LobbyModel::gamesChanged);
    const int ids = lobby::MaxInternetGames + 50;
    const auto round = [&](int r) {
        for (int i = 0; i < ids; ++i) {
            InternetGame g = game(QStringLiteral("Churn%1").arg(i));
            g.seatsTaken = r % 4 + 1;
            churn.publish(lobby::TopicRoot + "games/c" + QByteArray::number(i), *lobby::encodeGame(g));
        }
        QTest::qWait(150);
    };
    for (int r = 0; r < lobby::LobbyModel::ChurnLimit + 1; ++r)
        round(r);
    QTRY_COMPARE(watcher.model().games().size(), lobby::MaxInternetGames);
    ann.publishGame(game(QStringLiteral("Calm")));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Calm")), 3000);
    for (int r = 0; r < 5; ++r)
        round(r);
    QTest::qWait(300);
    QVERIFY(lists(watcher, QStringLiteral("Calm")));
    QCOMPARE(watcher.model().games().size(), lobby::MaxInternetGames);
    const int messages = 10 * ids;
    // How long the window's thread is held is measured by bench_lobby.
    QVERIFY2(changes.size() < messages / 20, qPrintable(QStringLiteral("%1 changes").arg(changes.size())));
}

void TestInternetLobby::listedOnceHeld_data()
{
    QTest::addColumn<bool>("writable"); // the broker keeps what this copy writes
    QTest::newRow("kept") << true;
    QTest::newRow("dropped by the broker") << false;
}

// A game counts as listed once the broker hands it back as it holds it, not
// when it is sent: a broker that drops it (here by its access list) lists
// nothing.
void TestInternetLobby::listedOnceHeld()
{
    QFETCH(bool, writable);
    QTemporaryDir dir;
    QFile acl(dir.filePath("acl"));
    QVERIFY(acl.open(QIODevice::WriteOnly));
    acl.write(writable ? "pattern readwrite wordmire/1/games/%c\ntopic read wordmire/1/#\n"
                       : "topic read wordmire/1/#\n");
    acl.close();
    QFile::setPermissions(
            dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(acl.fileName(), QFile::ReadOwner | QFile::ReadOther);
    Broker broker(false, "acl_file " + acl.fileName().toLocal8Bit() + "\n");
    QVERIFY(broker.reachable());
    InternetLobby ann;
    QSignalSpy listed(&ann, &InternetLobby::gameListed);
    ann.open(broker.address());
    QTRY_COMPARE_WITH_TIMEOUT(ann.state(), InternetLobby::State::Connected, 3000);
    ann.publishGame(game(QStringLiteral("Ann")));
    if (writable) {
        QTRY_COMPARE_WITH_TIMEOUT(listed.size(), 1, 3000);
        // A change is listed again once held.
        ann.publishGame(game(QStringLiteral("Ann"), QStringLiteral("81.2.69.6")));
        QTRY_COMPARE_WITH_TIMEOUT(listed.size(), 2, 3000);
    } else {
        QTest::qWait(1500);
        QCOMPARE(listed.size(), 0);
    }
}

void TestInternetLobby::lyingBroker()
{
    Broker open(false);
    QVERIFY(open.reachable());
    InternetLobby watcher;
    watcher.open(open.address());
    QSignalSpy heard(&watcher.model(), &lobby::LobbyModel::chatLine);
    QElapsedTimer clock;
    clock.start();
    QList<qint64> heardAt; // when each line was let through
    connect(&watcher.model(), &lobby::LobbyModel::chatLine, this, [&] { heardAt << clock.elapsed(); });
    QTRY_COMPARE(watcher.state(), InternetLobby::State::Connected);
    RawClient liar(open.port, "liar");
    QVERIFY(liar.ok);
    const QByteArray games = lobby::TopicRoot + "games/";
    const QByteArray good = *lobby::encodeGame(game(QStringLiteral("Good")));
    liar.publish(games + "first", good);
    liar.publish(games + "big", "{\"name\":\"Big\"" + QByteArray(100000, ' ') + "}");
    liar.publish(
            games + "bad-name", R"({"name":"\u0007","seats":1,"running":false,"address":"81.2.69.5","port":7772})");
    liar.publish(games + "bad-address", R"({"name":"X","seats":1,"running":false,"address":"localhost","port":7772})");
    liar.publish(games + "a/b", good);
    liar.publish(games + QByteArray(40, 'l'), good);
    liar.publish(lobby::TopicRoot + "chat/liar", R"({"name":"Liar","text":"one"})", false);
    liar.publish(lobby::TopicRoot + "chat/liar", R"({"name":"Liar","text":"two"})", false);
    // Many senders at once, each keeping to its own second.
    for (int i = 0; i < 50; ++i)
        liar.publish(lobby::TopicRoot + "chat/s" + QByteArray::number(i), R"({"name":"Swarm","text":"hi"})", false);
    // The chat is heard before the flood of games: the broker drops what a
    // slow reader has not taken beyond its queue, which would be chat said
    // after ten thousand games on a loaded machine.
    QTRY_VERIFY(heard.size() >= lobby::MaxChatPerSecond);
    // The player looks for one game by its name; the flood cannot push it out.
    watcher.model().setSearch(QStringLiteral("goo"));
    QSignalSpy changes(&watcher.model(), &lobby::LobbyModel::gamesChanged);
    for (int i = 0; i < 10000; ++i)
        liar.publish(games + "g" + QByteArray::number(i), *lobby::encodeGame(game(QStringLiteral("Flood%1").arg(i))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Flood9999")), 10000);
    // The window took the flood in batches, not a message at a time.
    QVERIFY2(changes.size() < 200, qPrintable(QString::number(changes.size())));
    // An honest game that comes after the junk is listed.
    liar.publish(games + "honest", *lobby::encodeGame(game(QStringLiteral("Honest"))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Honest")), 3000);
    const auto &listed = watcher.model().games();
    QCOMPARE(listed.size(), lobby::MaxInternetGames);
    // Nothing malformed got in.
    QVERIFY(lists(watcher, QStringLiteral("Good")));
    for (const InternetGame &g : listed)
        QVERIFY2(g.name == QLatin1String("Good") || g.name == QLatin1String("Honest")
                        || g.name.startsWith(QLatin1String("Flood")),
                qPrintable(g.name));
    // At most ten lines in any second, however slowly the 52 arrive; the
    // liar's own second line only after a second of its own.
    for (qsizetype i = lobby::MaxChatPerSecond; i < heardAt.size(); ++i)
        QVERIFY2(heardAt[i] - heardAt[i - lobby::MaxChatPerSecond] >= 990, qPrintable(QString::number(i)));
    QCOMPARE(heard.constFirst().at(0).value<lobby::LobbyLine>().text, QStringLiteral("one"));
    for (qsizetype i = 1; i < heard.size(); ++i)
        if (heard.at(i).at(0).value<lobby::LobbyLine>().text == QLatin1String("two"))
            QVERIFY(heardAt[i] - heardAt[0] >= 990);
    // A real host that came too late is not listed, but the lobby still works.
    InternetLobby late;
    late.open(open.address());
    QTRY_COMPARE(late.state(), InternetLobby::State::Connected);
    QTest::qWait(1000);
    QVERIFY(late.say(QStringLiteral("Late"), QStringLiteral("still here")));
    QTRY_COMPARE(heard.constLast().at(0).value<lobby::LobbyLine>().text, QStringLiteral("still here"));
    for (int i = 0; i < 10000; ++i)
        liar.publish(games + "g" + QByteArray::number(i), {});
    liar.publish(games + "first", {});
}

void TestInternetLobby::unreachableBrokerSaysSo()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 closed = probe.serverPort();
    probe.close();
    InternetLobby l;
    QVERIFY(l.open(QStringLiteral("127.0.0.1:%1").arg(closed)));
    QTRY_VERIFY_WITH_TIMEOUT(l.status().contains(QLatin1String("does not answer")), 5000);
    // Stopping while it waits out a retry wakes it: the window does not wait
    // for the next try.
    QTest::qWait(1200);
    QElapsedTimer stopping;
    stopping.start();
    l.close();
    QVERIFY2(stopping.elapsed() < 1000, qPrintable(QString::number(stopping.elapsed())));
    QVERIFY(!l.open(QStringLiteral("not a broker")));
    QVERIFY(l.status().contains(QLatin1String("does not read")));
}

// A lobby behind TLS: reached with the authority that signed its
// certificate, refused with another.
void TestInternetLobby::tlsLobby_data()
{
    QTest::addColumn<QString>("authority");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("said"); // empty: connected
    QTest::newRow("its own authority") << "ca"
                                       << "localhost"
                                       << "";
    QTest::newRow("another authority") << "other"
                                       << "localhost"
                                       << "The internet lobby at mqtts://localhost:%1 is not trusted";
    QTest::newRow("another name") << "ca"
                                  << "127.0.0.1"
                                  << "is not for 127.0.0.1";
    // Not TLS at all, and said so.
    QTest::newRow("refused") << "ca"
                             << "refuse"
                             << "refused this copy: not authorised; trying again.";
}

void TestInternetLobby::tlsLobby()
{
    QFETCH(QString, authority);
    QFETCH(QString, host);
    QFETCH(QString, said);
    if (host == "refuse") {
        Broker closedDoor(true, "allow_anonymous false\n");
        InternetLobby l;
        QVERIFY(l.open(closedDoor.address()));
        QTRY_VERIFY_WITH_TIMEOUT(l.status().contains(said), 3000);
        QTest::qWait(1500); // the broker hangs up, the lobby tries again: the reason stays
        QVERIFY2(l.status().contains(said), qPrintable(l.status()));
        return;
    }
    QTemporaryDir dir;
    const auto openssl = [&](const QStringList &args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral("openssl"), args);
        return p.waitForFinished() && p.exitCode() == 0;
    };
    for (const char *ca : {"ca", "other"})
        QVERIFY(openssl({"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj",
                QStringLiteral("/CN=%1").arg(ca), "-keyout", QStringLiteral("%1.key").arg(ca), "-out",
                QStringLiteral("%1.pem").arg(ca)}));
    QVERIFY(openssl({"req", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=localhost", "-keyout", "lobby.key", "-out",
            "lobby.csr"}));
    QFile ext(dir.filePath("ext"));
    QVERIFY(ext.open(QIODevice::WriteOnly));
    ext.write("subjectAltName=DNS:localhost\n");
    ext.close();
    QVERIFY(openssl({"x509", "-req", "-in", "lobby.csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
            "-days", "2", "-extfile", "ext", "-out", "lobby.pem"}));
    // A broker started by root reads them as its own user.
    const auto readable = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QFile::setPermissions(
            dir.path(), readable | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther);
    for (const char *f : {"lobby.pem", "lobby.key"})
        QFile::setPermissions(dir.filePath(f), readable);
    Broker tls(true,
            "certfile " + dir.filePath("lobby.pem").toLocal8Bit() + "\nkeyfile "
                    + dir.filePath("lobby.key").toLocal8Bit() + "\n");
    QVERIFY(tls.reachable());
    InternetLobby l;
    l.setCertificateAuthority(dir.filePath(authority + ".pem"));
    QVERIFY(l.open(QStringLiteral("mqtts://%1:%2").arg(host).arg(tls.port)));
    if (said.isEmpty()) {
        QTRY_COMPARE_WITH_TIMEOUT(l.state(), InternetLobby::State::Connected, 3000);
        return;
    }
    if (said.contains(QLatin1String("%1")))
        said = said.arg(tls.port);
    QTRY_VERIFY_WITH_TIMEOUT(l.status().contains(said), 3000);
    QTest::qWait(2500); // past the time "does not answer" would be said
    QCOMPARE(l.state(), InternetLobby::State::Connecting);
    QVERIFY2(l.status().contains(said), qPrintable(l.status()));
}

// Started again as a host that lists itself and waits to be killed.
static int runHost(const QString &broker, int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    InternetLobby host;
    host.open(broker);
    host.publishGame(game(QStringLiteral("Killed")));
    return app.exec();
}

int main(int argc, char **argv)
{
    qRegisterMetaType<lobby::LobbyLine>();
    if (qEnvironmentVariableIsSet("WM_LOBBY_HOST"))
        return runHost(qEnvironmentVariable("WM_LOBBY_HOST"), argc, argv);
    QCoreApplication app(argc, argv);
    TestInternetLobby t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_internetlobby.moc"
