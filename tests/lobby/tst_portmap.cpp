// Opening the game's port on a real router: miniupnpd in a network
// namespace of this test's own, asked by UPnP and by NAT-PMP. A mapping is
// made, renewed before its lease runs out and removed; a router that
// refuses, and no router at all, are said in plain words.

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
    explicit Router(bool upnp)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(WM_ROUTER_SCRIPT),
                {QStringLiteral("start"), dir.path(), upnp ? QStringLiteral("yes") : QStringLiteral("no")});
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
};

void TestPortMap::init()
{
    if (!g_ownNetwork)
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
    Router router(upnp);
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
        r = std::make_unique<Router>(true);
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
