// Opening the game's port on a real router: miniupnpd in a network
// namespace of this test's own, asked by UPnP and by NAT-PMP. A mapping is
// made, renewed before its lease runs out and removed; a router that
// refuses, and no router at all, are said in plain words.

#include "fakerouter.h"
#include "lobby.h"
#include "portmap.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>

#include <sched.h>

using lobby::PortMapper;

namespace {

bool g_ownNetwork = false;

class Router {
public:
    // miniupnpd with UPnP or without ("yes", "no"), or only the network for
    // a fake router ("fake").
    explicit Router(const QString &upnp)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(WM_ROUTER_SCRIPT), {QStringLiteral("start"), dir.path(), upnp});
        p.waitForFinished(10000);
        output = p.readAll();
        started = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    ~Router() { QProcess::execute(QStringLiteral(WM_ROUTER_SCRIPT), {QStringLiteral("stop"), dir.path()}); }

    // The router's forwarding rules as nftables holds them: what the
    // router really does, whatever it says over UPnP.
    QByteArray rules() const
    {
        QFile pid(dir.filePath(QStringLiteral("holder.pid")));
        pid.open(QIODevice::ReadOnly);
        QProcess p;
        p.start(QStringLiteral("nsenter"),
                {QStringLiteral("-t"), QString::fromLatin1(pid.readAll().trimmed()), QStringLiteral("-n"),
                        QStringLiteral("nft"), QStringLiteral("list"), QStringLiteral("chain"), QStringLiteral("inet"),
                        QStringLiteral("wmnat"), QStringLiteral("prerouting_miniupnpd")});
        p.waitForFinished();
        return p.readAllStandardOutput();
    }
    bool forwards(const QByteArray &to) const { return rules().contains("dport 7772 dnat ip to " + to); }
    int holder() const
    {
        QFile pid(dir.filePath(QStringLiteral("holder.pid")));
        pid.open(QIODevice::ReadOnly);
        return pid.readAll().trimmed().toInt();
    }

    QTemporaryDir dir;
    QByteArray output;
    bool started = false;
};

} // namespace

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void init();
    void mapRenewRemove_data();
    void mapRenewRemove();
    void refusals_data();
    void refusals();
    void hostileRouters_data();
    void hostileRouters();
    void ownAddresses();
    void answersRead_data();
    void answersRead();
};

void TestPortMap::init()
{
    if (!g_ownNetwork && QTest::currentTestFunction() != QLatin1String("answersRead"))
        QSKIP("needs root, to give the test and its router network namespaces of their own");
}

void TestPortMap::mapRenewRemove_data()
{
    QTest::addColumn<bool>("upnp");
    QTest::newRow("UPnP") << true;
    QTest::newRow("NAT-PMP when UPnP is off") << false;
}

void TestPortMap::mapRenewRemove()
{
    QFETCH(bool, upnp);
    Router router(upnp ? "yes" : "no");
    QVERIFY2(router.started, router.output.constData());
    PortMapper mapper;
    mapper.setLeaseSeconds(4);
    QSignalSpy finished(&mapper, &PortMapper::finished);
    QSignalSpy renewed(&mapper, &PortMapper::renewed);
    mapper.start(7772);
    QCOMPARE(mapper.state(), PortMapper::State::Asking);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 3000);
    QCOMPARE(finished.at(0).at(1).toString(), lobby::mappedText(QStringLiteral("11.22.33.44")));
    QCOMPARE(mapper.externalAddress(), QStringLiteral("11.22.33.44"));
    QVERIFY2(router.forwards("192.168.77.2:7772"), router.rules().constData());
    // Past the first lease the mapping is still there, renewed.
    QTRY_VERIFY_WITH_TIMEOUT(renewed.size() >= 2, 6000);
    QVERIFY(router.forwards("192.168.77.2:7772"));
    mapper.stop();
    QTRY_VERIFY_WITH_TIMEOUT(!router.forwards("192.168.77.2:7772"), 3000);
}

void TestPortMap::refusals_data()
{
    QTest::addColumn<QString>("router"); // none, free, taken
    QTest::addColumn<QString>("said");
    QTest::newRow("no router") << "none" << lobby::noRouterText(7772);
    QTest::newRow("port mapped to another computer") << "taken" << lobby::conflictText();
}

void TestPortMap::refusals()
{
    QFETCH(QString, router);
    QFETCH(QString, said);
    std::unique_ptr<Router> r;
    if (router != QLatin1String("none")) {
        r = std::make_unique<Router>("yes");
        QVERIFY2(r->started, r->output.constData());
        // Another computer on the network took the port first.
        int error = 0;
        UPNPDev *devices = upnpDiscover(1000, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error);
        UPNPUrls urls{};
        IGDdatas data{};
        char lan[64];
        QVERIFY(UPNP_GetValidIGD(devices, &urls, &data, lan, sizeof lan) > 0);
        freeUPNPDevlist(devices);
        QCOMPARE(UPNP_AddPortMapping(urls.controlURL, data.first.servicetype, "7772", "7772", "192.168.77.3", "other",
                         "TCP", nullptr, "0"),
                0);
        FreeUPNPUrls(&urls);
    }
    PortMapper mapper;
    QSignalSpy finished(&mapper, &PortMapper::finished);
    QElapsedTimer clock;
    clock.start();
    mapper.start(7772);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 3000);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(finished.at(0).at(1).toString(), said);
    QCOMPARE(mapper.state(), PortMapper::State::Failed);
    if (r)
        QVERIFY(r->forwards("192.168.77.3:7772"));
}

namespace {
// This process's resident memory, in MiB.
qint64 residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() / 1024;
    return 0;
}
} // namespace

void TestPortMap::hostileRouters_data()
{
    using M = FakeRouter::Mode;
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("exitWhileAsking"); // the copy exits as soon as the router is asked
    QTest::addColumn<bool>("takenBack"); // a mapping asked for is removed after
    QTest::newRow("a description without end") << int(M::EndlessDescription) << false << false;
    QTest::newRow("a description a byte a second, exit") << int(M::TrickledDescription) << true << false;
    QTest::newRow("an answer without end") << int(M::EndlessSoap) << false << false;
    QTest::newRow("a mapping never answered, exit") << int(M::SilentAdd) << true << true;
    QTest::newRow("a mapping never answered, stop") << int(M::SilentAdd) << false << true;
    QTest::newRow("NAT-PMP answering after the give-up") << int(M::LateNatpmp) << false << true;
}

// Whatever a machine on the network answers: memory stays bounded, the
// answer comes in seconds, exit never waits on it, and a mapping asked for
// is taken back whenever its answer comes.
void TestPortMap::hostileRouters()
{
    QFETCH(int, mode);
    QFETCH(bool, exitWhileAsking);
    QFETCH(bool, takenBack);
    const auto m = FakeRouter::Mode(mode);
    Router network("fake");
    QVERIFY2(network.started, network.output.constData());
    FakeRouter router(m, network.holder());
    QVERIFY(router.ready());
    const qint64 before = residentMiB();
    auto mapper = std::make_unique<PortMapper>();
    QSignalSpy finished(mapper.get(), &PortMapper::finished);
    mapper->start(7772);
    if (exitWhileAsking) {
        // Until the router has the question in hand. The exit is bounded well
        // below a trickling router's pace (a byte a second held it 18 s).
        QTest::qWait(m == FakeRouter::Mode::SilentAdd ? 0 : 600);
        QTRY_VERIFY_WITH_TIMEOUT(m != FakeRouter::Mode::SilentAdd || router.adds == 1, 4000);
        QElapsedTimer exit;
        exit.start();
        mapper.reset();
        QVERIFY2(exit.elapsed() < 2000, qPrintable(QStringLiteral("exit took %1 ms").arg(exit.elapsed())));
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 7000);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        mapper->stop();
    }
    QVERIFY2(residentMiB() - before < 24, qPrintable(QStringLiteral("%1 MiB more").arg(residentMiB() - before)));
    if (m == FakeRouter::Mode::LateNatpmp)
        QTRY_VERIFY_WITH_TIMEOUT(router.natpmpRemovals >= 1, 3000);
    else if (takenBack)
        QTRY_COMPARE_WITH_TIMEOUT(int(router.deletes), 1, 3000);
    else
        QCOMPARE(int(router.deletes) + int(router.natpmpRemovals), 0);
}

// The addresses others on the network could join at: none without a
// network (loopback is nobody else's), the computer's own on one.
void TestPortMap::ownAddresses()
{
    QCOMPARE(lobby::localAddresses(), QStringList());
    Router network("fake");
    QVERIFY2(network.started, network.output.constData());
    QCOMPARE(lobby::localAddresses(), QStringList{"192.168.77.2"});
}

void TestPortMap::answersRead_data()
{
    using namespace lobby::routerwire;
    QTest::addColumn<QString>("read"); // what the reader made of the bytes
    QTest::addColumn<QString>("expected");
    const auto http = [](const QByteArray &raw, bool closed, int max = 100) {
        HttpAnswer a;
        const HttpState s = readHttp(raw, closed, max, &a);
        return s == HttpState::Done   ? QString::number(a.status) + " " + QString::fromLatin1(a.body)
                : s == HttpState::Bad ? QStringLiteral("bad")
                                      : QStringLiteral("more");
    };
    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("length") << http(ok + "Content-Length: 2\r\n\r\nhi", false) << "200 hi";
    QTest::newRow("length, not all yet") << http(ok + "Content-Length: 5\r\n\r\nhi", false) << "more";
    QTest::newRow("length past the bound") << http(ok + "Content-Length: 101\r\n\r\n", false) << "bad";
    QTest::newRow("chunked") << http(ok + "Transfer-Encoding: chunked\r\n\r\n2\r\nhi\r\n1\r\n!\r\n0\r\n\r\n", false)
                             << "200 hi!";
    QTest::newRow("a chunk past the bound")
            << http(ok + "Transfer-Encoding: chunked\r\n\r\nFFFFFF\r\n", false) << "bad";
    QTest::newRow("till closed") << http(ok + "\r\nhi", true) << "200 hi";
    QTest::newRow("till closed, past the bound") << http(ok + "\r\n" + QByteArray(101, 'x'), false) << "bad";
    QTest::newRow("endless header") << http(ok + QByteArray(MaxHeader, 'x'), false) << "bad";
    const auto search = [](const QByteArray &location) {
        const auto url = searchAnswer("HTTP/1.1 200 OK\r\nLOCATION: " + location + "\r\n\r\n");
        return url ? url->toString() : QStringLiteral("none");
    };
    QTest::newRow("search answer") << search("http://192.168.1.1:5000/d.xml") << "http://192.168.1.1:5000/d.xml";
    QTest::newRow("a name to look up") << search("http://router.lan/d.xml") << "none";
    QTest::newRow("not http") << search("file:///etc/passwd") << "none";
    const QUrl at(QStringLiteral("http://192.168.1.1:5000/d.xml"));
    const auto service = [&](const QByteArray &services, const QByteArray &base = {}) {
        const auto s = wanService("<root>" + (base.isEmpty() ? "" : "<URLBase>" + base + "</URLBase>") + "<serviceList>"
                        + services + "</serviceList></root>",
                at);
        return s ? s->control.toString() + " " + QString::fromLatin1(s->type.mid(29)) : QStringLiteral("none");
    };
    const auto one = [](const QByteArray &type, const QByteArray &control) {
        return "<service><serviceType>urn:schemas-upnp-org:service:" + type + "</serviceType><controlURL>" + control
                + "</controlURL></service>";
    };
    QTest::newRow("the first mapping service") << service(
            one("Layer3Forwarding:1", "/l") + one("WANPPPConnection:1", "/p") + one("WANIPConnection:1", "/i"))
                                               << "http://192.168.1.1:5000/p WANPPPConnection:1";
    QTest::newRow("the base address") << service(one("WANIPConnection:2", "/c"), "http://192.168.1.1:80")
                                      << "http://192.168.1.1:80/c WANIPConnection:2";
    QTest::newRow("control on another host") << service(one("WANIPConnection:1", "http://10.0.0.9/c")) << "none";
    QTest::newRow("no mapping service") << service(one("Layer3Forwarding:1", "/l")) << "none";
    const auto soap = [](int status, const QByteArray &body) {
        const auto a = soapAnswer({status, body});
        return a ? QStringLiteral("%1 %2").arg(a->error).arg(a->externalAddress) : QStringLiteral("none");
    };
    QTest::newRow("address") << soap(200, "<s:E><NewExternalIPAddress> 1.2.3.4 </NewExternalIPAddress></s:E>")
                             << "0 1.2.3.4";
    QTest::newRow("refusal") << soap(500, "<s:Fault><errorCode>718</errorCode></s:Fault>") << "718 ";
    QTest::newRow("refusal without a code") << soap(500, "oops") << "-1 ";
}

// The readers of a router's answers, on what real routers send and on
// what a hostile machine could.
void TestPortMap::answersRead()
{
    QFETCH(QString, read);
    QFETCH(QString, expected);
    QCOMPARE(read, expected);
}

int main(int argc, char **argv)
{
    // Before any thread starts: the namespace is the whole process's.
    g_ownNetwork = unshare(CLONE_NEWNET) == 0;
    QCoreApplication app(argc, argv);
    if (g_ownNetwork)
        QProcess::execute(QStringLiteral("ip"),
                {QStringLiteral("link"), QStringLiteral("set"), QStringLiteral("lo"), QStringLiteral("up")});
    TestPortMap t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_portmap.moc"
