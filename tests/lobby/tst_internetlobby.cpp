// The internet lobby against a real Mosquitto broker started here, with the
// access list we ship: games seen across copies, cleared by a clean stop and
// by a killed host's last will, a client kept off another's topic, and a
// broker that passes on anything (no access list) unable to do harm.

#include "broker.h"
#include "internetlobby.h"
#include "tlobby.h"
#include "internetpath.h"
#include "netbackend.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <mosquitto.h>

using lobby::InternetGame;
using lobby::InternetLobby;

namespace {

// Fewer games than a copy keeps, so that tests fill the lobby quickly.
constexpr int Kept = 200;

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

// A sender with a key pair of its own, as every copy has: what it says is
// sealed as a copy seals it, under its own id.
struct Sender {
    lobby::Identity me = *lobby::Identity::fresh();
    QByteArray topic(const char *kind) const { return lobby::TopicRoot + kind + '/' + me.id().toLatin1(); }
    QByteArray sealed(const char *kind, const QByteArray &message) const
    {
        return me.seal(topic(kind), message, QDateTime::currentMSecsSinceEpoch());
    }
};

// When each batch of broker messages reached the lobby's list. The window
// takes them at most once a frame's pause however fast they come; how many
// batches a flood takes depends on how fast the machine seals and checks.
struct Batches {
    explicit Batches(lobby::LobbyModel &model)
    {
        clock.start();
        heard = QObject::connect(
                &model, &lobby::LobbyModel::gamesChanged, &model, [this] { at << clock.nsecsElapsed(); });
    }
    ~Batches() { QObject::disconnect(heard); }
    Batches(const Batches &) = delete;
    Batches &operator=(const Batches &) = delete;
    // The shortest time between two batches, in ms.
    double closest() const
    {
        qint64 gap = std::numeric_limits<qint64>::max();
        for (qsizetype i = 1; i < at.size(); ++i)
            gap = std::min(gap, at[i] - at[i - 1]);
        return double(gap) / 1e6;
    }
    // A coarse timer may fire up to 5% early.
    static constexpr double Pause = (InternetLobby::FrameMs - InternetLobby::SliceMs) * 0.95;
    QElapsedTimer clock;
    QList<qint64> at;
    QMetaObject::Connection heard;
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
    void busyLobbyListedWhole();
    void iceSignals_data();
    void iceSignals();
    void hostileOffers_data();
    void hostileOffers();
    void keyKept();
    void forgeries_data();
    void forgeries();
    void strangerWithAnothersId();
    void sameNameToldApart();
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
    QTest::newRow("at its own address") << with("via", "own") << true;
    QTest::newRow("through the lobby") << QByteArray(R"({"name":"Ann","seats":2,"running":false,"via":"lobby"})")
                                       << true;
    QTest::newRow("through the lobby, with an address") << with("via", "lobby") << false;
    QTest::newRow("reached some other way") << with("via", "pigeon") << false;
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
    const Sender ivy;
    RawClient intruder(m_broker->port, ivy.me.id().toLatin1());
    QVERIFY(intruder.ok);
    const QByteArray annTopic = lobby::TopicRoot + "games/" + ann.clientId().toLatin1();
    intruder.publish(annTopic,
            ivy.me.seal(annTopic, *lobby::encodeGame(game(QStringLiteral("Mallory"))),
                    QDateTime::currentMSecsSinceEpoch()));
    intruder.publish(annTopic, QByteArray());
    // Its own topic is open to it: once that arrives, the others would have.
    intruder.publish(ivy.topic("games"), ivy.sealed("games", *lobby::encodeGame(game(QStringLiteral("Ivy")))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Ivy")), 2000);
    QVERIFY(lists(watcher, QStringLiteral("Ann")));
    QVERIFY(!lists(watcher, QStringLiteral("Mallory")));
    intruder.publish(ivy.topic("games"), QByteArray());
}

// More games than a lobby keeps, all changing all the time: the window
// takes them in batches, and a calm game that comes in keeps its place
// among them.
void TestInternetLobby::churnKeepsTheCalmGame()
{
    Broker open(false);
    QVERIFY(open.reachable());
    InternetLobby watcher, ann;
    watcher.model().setCapacity(Kept);
    watcher.open(open.address());
    ann.open(open.address());
    QTRY_VERIFY(watcher.state() == InternetLobby::State::Connected && ann.state() == InternetLobby::State::Connected);
    RawClient churn(open.port, "churn");
    QVERIFY(churn.ok);
    const Batches batches(watcher.model());
    const int ids = Kept + 50;
    const std::vector<Sender> senders(ids);
    const auto round = [&](int r) {
        for (int i = 0; i < ids; ++i) {
            InternetGame g = game(QStringLiteral("Churn%1").arg(i));
            g.seatsTaken = r % 4 + 1;
            churn.publish(senders[i].topic("games"), senders[i].sealed("games", *lobby::encodeGame(g)));
        }
        QTest::qWait(150);
    };
    for (int r = 0; r < lobby::LobbyModel::ChurnLimit + 1; ++r)
        round(r);
    QTRY_COMPARE(watcher.model().games().size(), Kept);
    ann.publishGame(game(QStringLiteral("Calm")));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Calm")), 10000);
    for (int r = 0; r < 5; ++r)
        round(r);
    QTest::qWait(300);
    QVERIFY(lists(watcher, QStringLiteral("Calm")));
    QCOMPARE(watcher.model().games().size(), Kept);
    // How long the window's thread is held is measured by bench_lobby.
    QVERIFY2(batches.at.size() > 1 && batches.closest() >= Batches::Pause,
            qPrintable(QStringLiteral("%1 batches, %2 ms apart").arg(batches.at.size()).arg(batches.closest())));
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
    acl.write(writable ? "pattern readwrite wordmire/2/games/%c\ntopic read wordmire/2/#\n"
                       : "topic read wordmire/2/#\n");
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
    watcher.model().setCapacity(Kept);
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
    // Each says what it says under a key of its own, as a copy would.
    const auto say = [&](const QByteArray &topic, const QByteArray &message, bool retain = true) {
        const Sender s;
        liar.publish(topic.isEmpty() ? s.topic("games") : topic,
                topic.isEmpty() ? s.sealed("games", message)
                                : s.me.seal(topic, message, QDateTime::currentMSecsSinceEpoch()),
                retain);
    };
    say({}, good);
    say({}, "{\"name\":\"Big\"" + QByteArray(100000, ' ') + "}");
    say({}, R"({"name":"\u0007","seats":1,"running":false,"address":"81.2.69.5","port":7772})");
    say({}, R"({"name":"X","seats":1,"running":false,"address":"localhost","port":7772})");
    say(games + "a/b", good);
    say(games + QByteArray(40, 'l'), good);
    const Sender talker;
    liar.publish(talker.topic("chat"), talker.sealed("chat", R"({"name":"Liar","text":"one"})"), false);
    QTest::qWait(2);
    liar.publish(talker.topic("chat"), talker.sealed("chat", R"({"name":"Liar","text":"two"})"), false);
    // Many senders at once, each keeping to its own second.
    for (int i = 0; i < 50; ++i) {
        const Sender s;
        liar.publish(s.topic("chat"), s.sealed("chat", R"({"name":"Swarm","text":"hi"})"), false);
    }
    // The chat is heard before the flood of games: the broker drops what a
    // slow reader has not taken beyond its queue, which would be chat said
    // after thousands of games on a loaded machine.
    QTRY_VERIFY(heard.size() >= lobby::MaxChatPerSecond);
    // The player looks for one game by its name; the flood cannot push it out.
    watcher.model().setSearch(QStringLiteral("goo"));
    const Batches batches(watcher.model());
    // Many times what the lobby keeps here, each from a key of its own.
    constexpr int Flood = 15 * Kept;
    for (int i = 0; i < Flood; ++i)
        say({}, *lobby::encodeGame(game(QStringLiteral("Flood%1").arg(i))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Flood%1").arg(Flood - 1)), 30000);
    // The window took the flood in batches, not a message at a time.
    QVERIFY2(batches.at.size() < Flood && batches.closest() >= Batches::Pause,
            qPrintable(QStringLiteral("%1 batches, %2 ms apart").arg(batches.at.size()).arg(batches.closest())));
    // An honest game that comes after the junk is listed.
    say({}, *lobby::encodeGame(game(QStringLiteral("Honest"))));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Honest")), 3000);
    const auto &listed = watcher.model().games();
    QCOMPARE(listed.size(), Kept);
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
}

// A lobby far busier than a screenful: the dialog lists every game as it
// comes (none lost between the slices the window takes them in), by name;
// a search finds any of them; a host that leaves takes only its own row.
void TestInternetLobby::busyLobbyListedWhole()
{
    Broker open(false);
    RawClient raw(open.port, "many");
    QVERIFY(raw.ok);
    constexpr int Games = 1500;
    const std::vector<Sender> hosts(Games);
    for (int i = 0; i < Games; ++i)
        raw.publish(hosts[i].topic("games"),
                hosts[i].sealed("games",
                        *lobby::encodeGame(game(QStringLiteral("P%1").arg(Games - i, 4, 10, QLatin1Char('0'))))));
    Tlobby dialog;
    dialog.setListenPort(0);
    InternetLobby watcher;
    dialog.setInternet(&watcher);
    dialog.show();
    watcher.open(open.address());
    QTRY_COMPARE_WITH_TIMEOUT(dialog.games().rowCount(), Games, 20000);
    for (int r = 1; r < Games; ++r)
        QVERIFY(dialog.games().row(r - 1).name < dialog.games().row(r).name);
    const Sender late;
    raw.publish(late.topic("games"), late.sealed("games", *lobby::encodeGame(game(QStringLiteral("Late")))));
    QTRY_VERIFY(dialog.games().rowOf(late.me.id()) >= 0);

    auto *search = dialog.findChild<QLineEdit *>("game_search");
    QTest::keyClicks(search, "p0007");
    QCOMPARE(dialog.games().rowCount(), 1);
    QCOMPARE(dialog.games().row(0).name, QStringLiteral("P0007"));
    search->clear();
    QCOMPARE(dialog.games().rowCount(), Games + 1);

    raw.publish(hosts[0].topic("games"), {});
    QTRY_COMPARE(dialog.games().rowCount(), Games);
    QCOMPARE(dialog.games().rowOf(hosts[0].me.id()), -1);
    QVERIFY(dialog.games().rowOf(hosts[1].me.id()) >= 0);
}

void TestInternetLobby::iceSignals_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("taken");
    const auto with = [](const char *field, const QJsonValue &value) {
        QJsonObject o{{"kind", "offer"}, {"session", "0123456789abcdef"}, {"relay", false},
                {"ice", "m=application 0 ICE/SDP\nc=IN IP4 0.0.0.0\n"}};
        if (value.isUndefined())
            o.remove(QLatin1String(field));
        else
            o[QLatin1String(field)] = value;
        return QJsonDocument(o).toJson(QJsonDocument::Compact);
    };
    QTest::newRow("an offer") << with("kind", "offer") << true;
    QTest::newRow("an answer") << with("kind", "answer") << true;
    QTest::newRow("some other kind") << with("kind", "hello") << false;
    QTest::newRow("no session") << with("session", QJsonValue::Undefined) << false;
    QTest::newRow("session too short") << with("session", "0123") << false;
    QTest::newRow("session not hex") << with("session", "0123456789abcdeg") << false;
    QTest::newRow("no description") << with("ice", "") << false;
    QTest::newRow("control code in description") << with("ice", "a=x\u0001") << false;
    QTest::newRow("beyond ASCII in description") << with("ice", "a=\u00e9") << false;
    QTest::newRow("oversized") << with("ice", QString(lobby::MaxIceMessage, QLatin1Char('a'))) << false;
    QTest::newRow("not JSON") << QByteArray("offer") << false;
}

void TestInternetLobby::iceSignals()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, taken);
    const std::optional<lobby::IceSignal> signal = lobby::decodeIce(payload);
    QCOMPARE(signal.has_value(), taken);
    if (signal)
        QCOMPARE(lobby::decodeIce(lobby::encodeIce(*signal)), signal);
}

void TestInternetLobby::hostileOffers_data()
{
    QTest::addColumn<bool>("hosting");
    QTest::addColumn<int>("senders");
    QTest::addColumn<int>("offersEach");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("sessions");
    QTest::newRow("one offer") << true << 1 << 1 << true << 1;
    QTest::newRow("not hosting") << false << 1 << 1 << true << 0;
    QTest::newRow("a description that does not read") << true << 1 << 1 << false << 0;
    QTest::newRow("one sender, many offers at once") << true << 1 << 20 << true << 1;
    QTest::newRow("many senders at once") << true << 40 << 1 << true << lobby::IceHost::MaxSessions;
}

// Offers are someone else's text and cost the host an ICE session each:
// few at once, one a second from a sender, none when not hosting, and a
// description that does not read costs nothing for long.
void TestInternetLobby::hostileOffers()
{
    QFETCH(bool, hosting);
    QFETCH(int, senders);
    QFETCH(int, offersEach);
    QFETCH(bool, readable);
    QFETCH(int, sessions);
    InternetLobby lobby;
    lobby::IceHost host(lobby);
    if (hosting)
        host.start(7772);
    for (int s = 0; s < senders; ++s)
        for (int i = 0; i < offersEach; ++i) {
            lobby::IceSignal offer;
            offer.from = QStringLiteral("wmsender%1").arg(s);
            offer.session = QByteArray::number(0x1000000000000000ULL + quint64(s * 100 + i), 16);
            offer.description = readable ? "m=application 0 ICE/SDP\nc=IN IP4 0.0.0.0\na=ice-ufrag:abcd\n"
                                           "a=ice-pwd:abcdefghijklmnopqrstuv\n"
                                           "a=candidate:1 1 UDP 2013266431 192.0.2.7 5000 typ host\n"
                                         : "this is not ICE";
            emit lobby.model().iceSignal(offer);
        }
    QTest::qWait(300);
    QCOMPARE(host.sessions(), sessions);
    host.stop();
    QCOMPARE(host.sessions(), 0);
}

// The key pair is made once and kept, readable by its owner alone; a key
// file that does not read is kept aside and replaced.
void TestInternetLobby::keyKept()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wordmire.key"));
    const std::optional<lobby::Identity> first = lobby::Identity::kept(path);
    QVERIFY(first);
    QCOMPARE(first->id().size(), lobby::MaxClientId);
    QVERIFY(lobby::validClientId(first->id().toLatin1()));
    const QFile::Permissions p = QFile::permissions(path);
    QVERIFY(p.testFlag(QFile::ReadOwner) && !(p & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther)));
    QCOMPARE(lobby::Identity::kept(path)->id(), first->id());
    QFile damaged(path);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a key\n");
    damaged.close();
    const std::optional<lobby::Identity> second = lobby::Identity::kept(path);
    QVERIFY(second && second->id() != first->id());
    QVERIFY(QFile::exists(path + ".bad"));
    QCOMPARE(lobby::Identity::kept(path)->id(), second->id());
}

namespace {
enum class Forgery { None, OtherKey, Unsealed, BadSignature, OtherTopic, Replayed, Stale };
}

void TestInternetLobby::forgeries_data()
{
    QTest::addColumn<QByteArray>("kind"); // games, chat or ice
    QTest::addColumn<int>("forgery");
    QTest::addColumn<bool>("taken");
    const struct {
        const char *what;
        Forgery forgery;
        bool taken;
    } rows[] = {{"genuine", Forgery::None, true}, {"signed by another's key", Forgery::OtherKey, false},
            {"not signed", Forgery::Unsealed, false}, {"signature damaged", Forgery::BadSignature, false},
            {"signed for another topic", Forgery::OtherTopic, false}, {"said again", Forgery::Replayed, false},
            {"signed twenty minutes ago", Forgery::Stale, false}};
    for (const char *kind : {"games", "chat", "ice"})
        for (const auto &r : rows)
            QTest::addRow("%s %s", kind, r.what) << QByteArray(kind) << int(r.forgery) << r.taken;
}

// What reaches the lobby under an id counts only when the id's own key
// signed it, for that topic, lately, and once: the broker here passes on
// anything anybody writes anywhere.
void TestInternetLobby::forgeries()
{
    QFETCH(QByteArray, kind);
    QFETCH(int, forgery);
    QFETCH(bool, taken);
    Broker open(false);
    InternetLobby watcher;
    watcher.open(open.address());
    QTRY_COMPARE(watcher.state(), InternetLobby::State::Connected);
    QSignalSpy games(&watcher.model(), &lobby::LobbyModel::gamesChanged);
    QSignalSpy lines(&watcher.model(), &lobby::LobbyModel::chatLine);
    QSignalSpy offers(&watcher.model(), &lobby::LobbyModel::iceSignal);
    const Sender ann, mallory;
    const QByteArray topic = kind == "ice"
            ? lobby::TopicRoot + "ice/" + watcher.clientId().toLatin1() + '/' + ann.me.id().toLatin1()
            : ann.topic(kind.constData());
    lobby::IceSignal offer;
    offer.session = "0123456789abcdef";
    offer.description = "v=0";
    const QByteArray message = kind == "games" ? *lobby::encodeGame(game(QStringLiteral("Ann")))
            : kind == "chat"                   ? lobby::encodeChat(QStringLiteral("Ann"), QStringLiteral("hi"))
                                               : lobby::encodeIce(offer);
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    QByteArray payload = ann.me.seal(topic, message, now);
    switch (Forgery(forgery)) {
    case Forgery::None:
    case Forgery::Replayed:
        break;
    case Forgery::OtherKey:
        payload = mallory.me.seal(topic, message, now);
        break;
    case Forgery::Unsealed:
        payload = message;
        break;
    case Forgery::BadSignature:
        payload[60] = payload[60] == 'A' ? 'B' : 'A';
        break;
    case Forgery::OtherTopic:
        payload = ann.me.seal(ann.topic("elsewhere"), message, now);
        break;
    case Forgery::Stale:
        payload = ann.me.seal(topic, message, now - 20 * 60 * 1000);
        break;
    }
    RawClient liar(open.port, "liar");
    QVERIFY(liar.ok);
    // A replay is the genuine message said a second time: once heard, not
    // again.
    const int times = Forgery(forgery) == Forgery::Replayed ? 2 : 1;
    for (int i = 0; i < times; ++i) {
        liar.publish(topic, payload, false);
        QTest::qWait(300);
    }
    const int expected = taken || Forgery(forgery) == Forgery::Replayed ? 1 : 0;
    // Anything taken is there within a batch or two; then nothing more comes.
    QTest::qWait(300);
    QCOMPARE(int((kind == "games" ? games : kind == "chat" ? lines : offers).size()), expected);
    if (kind == "ice" && expected)
        QCOMPARE(offers.constFirst().constFirst().value<lobby::IceSignal>().from, ann.me.id());
}

// A stranger that connects under another's client id (anybody may read
// the ids in the topics) takes that connection over, but cannot speak in
// its name: its lines carry its own key. The owner's copy comes back.
void TestInternetLobby::strangerWithAnothersId()
{
    InternetLobby ann, watcher;
    ann.open(m_broker->address());
    watcher.open(m_broker->address());
    ann.publishGame(game(QStringLiteral("Ann")));
    QTRY_VERIFY_WITH_TIMEOUT(lists(watcher, QStringLiteral("Ann")), 3000);
    QSignalSpy lines(&watcher.model(), &lobby::LobbyModel::chatLine);
    const Sender stranger;
    {
        RawClient intruder(m_broker->port, ann.clientId().toLatin1());
        QVERIFY(intruder.ok);
        const QByteArray topic = lobby::TopicRoot + "chat/" + ann.clientId().toLatin1();
        for (int i = 0; i < 3; ++i) {
            intruder.publish(topic,
                    stranger.me.seal(topic,
                            lobby::encodeChat(QStringLiteral("Ann"), QStringLiteral("send me your money")),
                            QDateTime::currentMSecsSinceEpoch()),
                    false);
            QTest::qWait(400);
        }
    }
    QVERIFY(lines.isEmpty());
    // Back in its own name, it says its game again.
    QTRY_VERIFY_WITH_TIMEOUT(
            ann.state() == InternetLobby::State::Connected && lists(watcher, QStringLiteral("Ann")), 10000);
    bool said = false; // latched: a second say within the second is refused
    QTRY_VERIFY_WITH_TIMEOUT(said = said || ann.say(QStringLiteral("Ann"), QStringLiteral("it was not me")), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(lines.size(), 1, 3000);
    QCOMPARE(lines.constFirst().constFirst().value<lobby::LobbyLine>().text, QStringLiteral("it was not me"));
}

// Two ids that announce one name: the second is shown with its id's first
// letters, so nobody passes for another by taking their name.
void TestInternetLobby::sameNameToldApart()
{
    Broker open(false);
    InternetLobby watcher;
    watcher.open(open.address());
    QTRY_COMPARE(watcher.state(), InternetLobby::State::Connected);
    QSignalSpy lines(&watcher.model(), &lobby::LobbyModel::chatLine);
    RawClient liar(open.port, "liar");
    const Sender bob, other;
    for (const Sender *s : {&bob, &other}) {
        liar.publish(s->topic("chat"),
                s->sealed("chat", lobby::encodeChat(QStringLiteral("Bob"), QStringLiteral("hi"))), false);
        QTest::qWait(300);
    }
    QTRY_COMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0).at(0).value<lobby::LobbyLine>().name, QStringLiteral("Bob"));
    QCOMPARE(lines.at(1).at(0).value<lobby::LobbyLine>().name, QStringLiteral("Bob (%1)").arg(other.me.id().mid(2, 4)));
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
    QApplication app(argc, argv); // the dialog's list is tried too
    TestInternetLobby t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_internetlobby.moc"
