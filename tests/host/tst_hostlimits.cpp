// The host against hostile peers, over real sockets: floods, giant messages,
// a peer that never reads, silent and dead connections, borrowed names. Each
// attack must cost only the attacker: honest users keep their latency and
// the host its memory.

#include "hostharness.h"
#include "tempworkdir.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {
// AddressSanitizer keeps freed memory in quarantine and adds its shadow:
// resident memory says nothing about the host there. The release build
// (the README's test command) measures it.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kMemoryMeasured = false;
#else
constexpr bool kMemoryMeasured = true;
#endif

// Resident memory of this process (the host runs in it), in bytes.
qint64 rss()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(1).toLongLong() * 4096;
}

// How long until an honest chat line from `from` reaches `to`, in ms (-1: never).
qint64 chatLatency(RawClient *from, int slot, RawClient *to, const QByteArray &tag)
{
    to->messages.clear();
    QElapsedTimer t;
    t.start();
    from->write(m("CMD_chat+" + QByteArray::number(slot) + "+" + tag + "|clBlack"));
    while (t.elapsed() < 3000) {
        for (const QByteArray &msg : to->messages)
            if (msg.contains(tag))
                return t.elapsed();
        QTest::qWait(1);
    }
    return -1;
}
} // namespace

class TestHostLimits : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void terminatorFlood();
    void giantLines();
    void peerThatNeverReads();
    void silentConnectionsGiveBackTheirSlots();
    void keepAliveOnEveryPeer();
    void namesAreDistinct_data();
    void namesAreDistinct();
    void nothingBeforeLogin();
    void giantNameClosesTheConnection();
    void busyPeerDoesNotDelayOthers();
    void badNumbersReportedBriefly();
    void cutsFollowTheLoggingRules_data();
    void cutsFollowTheLoggingRules();

private:
    TempWorkDir workDir;
    std::unique_ptr<HostHarness> h;
    RawClient *a = nullptr; // honest, slot 1
    RawClient *b = nullptr; // honest, slot 2
};

void TestHostLimits::init()
{
    h = std::make_unique<HostHarness>();
    QVERIFY(h->listening);
    a = h->joinAs(1, "Ann");
    b = h->joinAs(2, "Bo");
    QVERIFY(a && b);
}

void TestHostLimits::cleanup()
{
    h.reset();
}

void TestHostLimits::terminatorFlood()
{
    RawClient *flooder = h->joinAs(3, "Cy");
    QVERIFY(flooder);
    const qint64 before = rss();
    flooder->write(QByteArray(10 * 1024 * 1024, char(0xFF)));
    QVERIFY(flooder->waitForClosed(5000));
    QTRY_VERIFY(b->messages.contains("CMD_playerdisconnected+3+Cy"));
    const qint64 latency = chatLatency(a, 1, b, "after-terminators");
    qInfo("honest chat after a 10 MiB terminator burst: %lld ms; memory growth %lld kB", latency,
            (rss() - before) / 1024);
    QVERIFY(latency >= 0 && latency < 100);
    QVERIFY(!kMemoryMeasured || rss() - before < 16 * 1024 * 1024);
}

void TestHostLimits::giantLines()
{
    RawClient *flooder = h->joinAs(3, "Cy");
    QVERIFY(flooder);
    const QByteArray line = "CMD_chat+3+" + QByteArray(60 * 1024, 'x') + "|clBlack" + FF;
    for (int i = 0; i < 100; ++i)
        flooder->write(line);
    QVERIFY(flooder->waitForClosed(5000));
    const qint64 latency = chatLatency(a, 1, b, "after-giants");
    qInfo("honest chat after 100 lines of 60 KB: %lld ms", latency);
    QVERIFY(latency >= 0 && latency < 100);
    for (const QByteArray &msg : b->messages)
        QVERIFY(!msg.contains("xxxxxxxxxx"));
}

void TestHostLimits::peerThatNeverReads()
{
    RawClient *sleeper = h->joinAs(3, "Cy");
    QVERIFY(sleeper);
    // Five honest senders, each at 25 lines a second (under the rate a peer
    // may keep up).
    std::vector<std::pair<RawClient *, int>> senders{{a, 1}, {b, 2}};
    for (int slot = 4; slot <= 6; ++slot) {
        RawClient *c = h->joinAs(slot, "P" + QByteArray::number(slot));
        QVERIFY(c);
        senders.push_back({c, slot});
    }
    // Qt stops reading from the system once its buffer is full: the host's
    // data for this peer piles up on the host's side.
    sleeper->sock.setReadBufferSize(1024);
    QObject::disconnect(&sleeper->sock, &QTcpSocket::readyRead, nullptr, nullptr);
    const qint64 before = rss();
    qint64 sent = 0;
    QElapsedTimer t;
    t.start();
    // (The sleeper itself would not notice being cut off: it reads nothing.)
    while (h->host->tplayers[3].active && sent < 20 * 1024 * 1024 && t.elapsed() < 20000) {
        for (auto &[c, slot] : senders) {
            const QByteArray line =
                    m("CMD_chat+" + QByteArray::number(slot) + "+" + QByteArray(3900, 'z') + "|clBlack");
            c->write(line);
            sent += line.size();
            c->messages.clear(); // the honest read everything
        }
        QTest::qWait(40);
    }
    QVERIFY(!h->host->tplayers[3].active);
    qInfo("a peer that never reads was cut off after %lld bytes were sent to the host (%lld ms); memory growth "
          "%lld kB",
            sent, t.elapsed(), (rss() - before) / 1024);
    QVERIFY(!kMemoryMeasured || rss() - before < 16 * 1024 * 1024);
    for (auto &[c, slot] : senders)
        QCOMPARE(c->sock.state(), QAbstractSocket::ConnectedState);
    QTRY_VERIFY(a->messages.contains("CMD_playerdisconnected+3+Cy"));
    QVERIFY(chatLatency(a, 1, b, "still-here") >= 0);
}

void TestHostLimits::silentConnectionsGiveBackTheirSlots()
{
    h.reset();
    h = std::make_unique<HostHarness>();
    h->host->setLoginTimeout(300);
    std::vector<std::unique_ptr<RawClient>> silent;
    for (int i = 1; i <= 9; ++i) {
        silent.push_back(std::make_unique<RawClient>(h->host->listeningPort()));
        QVERIFY(silent.back()->waitForMessages(1));
    }
    RawClient refused(h->host->listeningPort());
    QVERIFY(refused.waitForMessages(1));
    QCOMPARE(refused.take(), QByteArray("CMD_full+"));
    for (auto &c : silent)
        QVERIFY(c->waitForClosed(3000));
    RawClient newcomer(h->host->listeningPort());
    QVERIFY(newcomer.waitForMessages(1));
    QCOMPARE(newcomer.take(), QByteArray("CMD_sendlogininfo+1"));
}

void TestHostLimits::keepAliveOnEveryPeer()
{
    for (int slot : {1, 2}) {
        const int fd = int(h->host->tplayers[slot].playersock->socketDescriptor());
        int on = 0, idle = 0, interval = 0, count = 0, unacknowledged = 0;
        socklen_t len = sizeof(int);
        QCOMPARE(getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &len), 0);
        QCOMPARE(getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &len), 0);
        QCOMPARE(getsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, &len), 0);
        QCOMPARE(getsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, &len), 0);
        // Data that is never acknowledged (a dead link mid-game) ends it too.
        QCOMPARE(getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unacknowledged, &len), 0);
        QCOMPARE((QList<int>{on != 0, idle, interval, count, unacknowledged}), (QList<int>{1, 30, 10, 3, 60000}));
    }
}

void TestHostLimits::namesAreDistinct_data()
{
    QTest::addColumn<QByteArray>("asked");
    QTest::addColumn<QByteArray>("given");
    QTest::newRow("another's name") << QByteArray("Ann") << QByteArray("Ann (2)");
    QTest::newRow("another's name, other case") << QByteArray("ANN") << QByteArray("ANN (2)");
    QTest::newRow("Klot's") << QByteArray("klot") << QByteArray("klot (2)");
    QTest::newRow("empty") << QByteArray("") << QByteArray("Player 3");
    QTest::newRow("spaces only") << QByteArray("   ") << QByteArray("Player 3");
    QTest::newRow("long") << QByteArray(1000, 'n') << QByteArray(24, 'n');
    QTest::newRow("own and free") << QByteArray("Cy") << QByteArray("Cy");
    // Look-alikes: what cannot be seen does not make a name another's.
    QTest::newRow("no-break space") << QByteArray("Ann\xa0") << QByteArray("Ann (2)");
    QTest::newRow("soft hyphen") << QByteArray("An\xadn") << QByteArray("Ann (2)");
    QTest::newRow("control codes") << QByteArray("A\x01nn\x9b") << QByteArray("Ann (2)");
    QTest::newRow("tab and spaces") << QByteArray("\tAnn  \t") << QByteArray("Ann (2)");
    QTest::newRow("inner spaces") << QByteArray("Cy \xa0 Lee") << QByteArray("Cy Lee");
    QTest::newRow("accented case") << QByteArray("\xc9mile") << QByteArray("\xc9mile");
    QTest::newRow("no-break only") << QByteArray("\xa0\xa0") << QByteArray("Player 3");
}

void TestHostLimits::namesAreDistinct()
{
    QFETCH(QByteArray, asked);
    QFETCH(QByteArray, given);
    RawClient *c = h->connectClient(3);
    QVERIFY(c);
    c->write(m("CMD_logininfo+3+1.0.16+" + asked));
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), "CMD_newplayerinfo+3+" + given + "+0");
    QCOMPARE(h->host->tplayers[3].name, given);
}

void TestHostLimits::nothingBeforeLogin()
{
    RawClient *c = h->connectClient(3);
    QVERIFY(c);
    c->write(m("CMD_chat+3+hello|clBlack") + m("CMD_action+3+waves|clBlack") + m("CMD_playasound+3+wave1+"));
    settle();
    QVERIFY(a->messages.isEmpty());
    QVERIFY(b->messages.isEmpty());
    c->write(m("CMD_logininfo+3+1.0.16+Cy"));
    QVERIFY(a->waitForMessages(1));
    QCOMPARE(a->take(), QByteArray("CMD_newplayerinfo+3+Cy+0"));
}

void TestHostLimits::giantNameClosesTheConnection()
{
    RawClient *c = h->connectClient(3);
    QVERIFY(c);
    c->write(m("CMD_logininfo+3+1.0.16+" + QByteArray(100000, 'n')));
    QVERIFY(c->waitForClosed());
    settle();
    for (const QByteArray &msg : a->messages)
        QVERIFY(!msg.startsWith("CMD_newplayerinfo"));
}

// A peer with a full queue does not make an honest one wait behind it.
void TestHostLimits::busyPeerDoesNotDelayOthers()
{
    RawClient *busy = h->joinAs(3, "Cy");
    QVERIFY(busy);
    QByteArray burst;
    for (int i = 0; i < 60; ++i)
        burst += m("CMD_chat+3+busy " + QByteArray::number(i) + "|clBlack");
    busy->write(burst);
    QTest::qWait(5);
    const qint64 latency = chatLatency(a, 1, b, "through-the-crowd");
    qInfo("honest chat behind a burst of 60 from another peer: %lld ms", latency);
    QVERIFY(latency >= 0 && latency < 50);
    // The busy peer's own lines all arrive, in order.
    QTRY_VERIFY(std::any_of(
            b->messages.cbegin(), b->messages.cend(), [](const QByteArray &msg) { return msg.contains("busy 59|"); }));
    int last = -1;
    for (const QByteArray &msg : b->messages) {
        const qsizetype at = msg.indexOf("busy ");
        if (at < 0)
            continue;
        const int n = msg.mid(at + 5).split('|').first().toInt();
        QVERIFY(n > last);
        last = n;
    }
}

// However many bad numbers a peer sends, the host writes a few lines about
// it and then one saying it stops; another peer still gets its own lines.
void TestHostLimits::badNumbersReportedBriefly()
{
    QByteArrayList lines;
    h->host->setDiagnosticSink([&](const QByteArray &line) { lines << line; });
    RawClient *bad = h->joinAs(3, "Cy");
    QVERIFY(bad);
    // Forty of them, at a pace the host's per-connection queue takes.
    for (int round = 0; round < 20; ++round) {
        bad->write(m("CMD_direction+3+x" + QByteArray::number(round) + "+") + m("CMD_direction+3+y+"));
        settle(30);
    }
    QTRY_COMPARE(lines.size(), TServer::MaxReports + 1);
    QVERIFY(lines.last().contains("slot 3: more bad input, no longer reported"));
    b->write(m("CMD_direction+2+y+"));
    QTRY_COMPARE(lines.size(), TServer::MaxReports + 2);
    QVERIFY(lines.last().startsWith("wordmire host: slot 2: "));
    // Still connected: bad numbers alone are no reason to cut anybody.
    QCOMPARE(bad->sock.state(), QAbstractSocket::ConnectedState);
}

namespace {
// What reached the message handler, as "category: text" lines; the host
// writes from its own thread.
QMutex heardLock;
QStringList heard;
void hear(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    QMutexLocker lock(&heardLock);
    heard << QStringLiteral("%1: %2").arg(QLatin1String(context.category), text);
}
} // namespace

void TestHostLimits::cutsFollowTheLoggingRules_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<bool>("reported");
    QTest::newRow("default") << QString() << true;
    QTest::newRow("host off") << "wordmire.host.warning=false" << false;
    QTest::newRow("all of ours off") << "wordmire.*=false" << false;
    QTest::newRow("lobby off only") << "wordmire.lobby.warning=false" << true;
}

// A user silences the host's reports by subject, and only those.
void TestHostLimits::cutsFollowTheLoggingRules()
{
    QFETCH(QString, rules);
    QFETCH(bool, reported);
    QLoggingCategory::setFilterRules(rules);
    heard.clear();
    const QtMessageHandler previous = qInstallMessageHandler(hear);
    RawClient *flooder = h->joinAs(3, "Cy");
    QVERIFY(flooder);
    flooder->write(QByteArray(1024 * 1024, 'x'));
    QVERIFY(flooder->waitForClosed(5000));
    QTRY_VERIFY(b->messages.contains("CMD_playerdisconnected+3+Cy"));
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    QMutexLocker lock(&heardLock);
    const QStringList cuts = heard.filter(QStringLiteral("slot 3"));
    QCOMPARE(cuts.size(), reported ? 1 : 0);
    if (reported)
        QVERIFY2(cuts.first().startsWith(QLatin1String("wordmire.host: slot 3 sent")), qPrintable(cuts.first()));
}

QTEST_MAIN(TestHostLimits)
#include "tst_hostlimits.moc"
