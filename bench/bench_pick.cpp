// Pick to display: from a pick on one player's board to its mark on another
// player's board, through the host, over loopback. The other player is
// another copy, as in a real game: a child process of this benchmark that
// writes a byte as soon as its board shows the mark. The baseline in the
// same run is a bare loopback relay of the same bytes through a socket pair,
// which is what the path costs without any game logic.
//
// The pick runs with the game's sounds off and on (sounds 0 and 1): run it
// with an audio server up (a PulseAudio null sink will do) to see what
// playing the pick's sound costs. It runs with the host on the picking
// window's thread and on a thread of its own, as the program runs it
// (hostThread 0 and 1).

#include "smokeload.h"
#include "usehost.h"
#include "clientmodel.h"
#include "tabout.h"
#include "tchat.h"
#include "tserver.h"
#include "hostthread.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <atomic>
#include <functional>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {

void spinUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

qint64 monotonicNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// A watcher's report: what it saw and when (the clock is the system's, the
// same in every process).
void report(char what)
{
    char record[9];
    record[0] = what;
    const qint64 now = monotonicNs();
    std::memcpy(record + 1, &now, sizeof now);
    (void)!::write(1, record, sizeof record);
}

// The other player's copy: joins the game on the port given and reports 'r'
// when the first seat's turn begins, 'p' when the pick's mark shows on its
// board and 'c' when it has gone again.
int watcher(int argc, char **argv)
{
    QApplication app(argc, argv);
    Tchat b;
    b.setArguments({"B", "127.0.0.1", "false"});
    b.setPort(quint16(QByteArray(argv[2]).toUInt()));
    b.preferences().setPlaySounds(false);
    QObject::connect(&b.model(), &ClientModel::turnGiven, [&](int seat, int) {
        if (seat == 1)
            report('r');
    });
    QObject::connect(&b.model(), &ClientModel::cellChanged, [&](int x, int y) {
        if (x == 1 && y == 1)
            report(b.model().board().overlay[1][1] == 29 ? 'p' : 'c');
    });
    QObject::connect(&b.model(), &ClientModel::connectionClosed, &app, &QCoreApplication::quit);
    b.show();
    return app.exec();
}

// The bare relay's other end: reports 'p' each time a whole message has come.
int bareWatcher(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTcpSocket in;
    qint64 got = 0;
    const qint64 size = QByteArray(argv[3]).toLongLong();
    QObject::connect(&in, &QTcpSocket::readyRead, [&] {
        got += in.readAll().size();
        for (; got >= size; got -= size)
            report('p');
    });
    QObject::connect(&in, &QTcpSocket::connected, [&] { in.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    QObject::connect(&in, &QTcpSocket::disconnected, &app, &QCoreApplication::quit);
    in.connectToHost(QHostAddress::LocalHost, quint16(QByteArray(argv[2]).toUInt()));
    return app.exec();
}

// Runs the event loop (sleeping when there is nothing to do, as a window
// does) until the watcher reports what; gives when it saw it, 0 for never.
qint64 await(QProcess &watcher, char what)
{
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    qint64 seen = 0;
    const auto check = [&] {
        char record[9];
        while (!seen && watcher.bytesAvailable() >= qint64(sizeof record)) {
            watcher.read(record, sizeof record);
            if (record[0] == what)
                std::memcpy(&seen, record + 1, sizeof seen);
        }
        if (seen)
            loop.quit();
    };
    QObject::connect(&watcher, &QProcess::readyReadStandardOutput, &loop, check);
    check();
    if (!seen) {
        timeout.start(3000);
        loop.exec();
    }
    return seen;
}

void BM_PickToDisplay(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Tabout about;
    const auto manual = [](TServer &server) { server.setManualTimers(true); };
    std::unique_ptr<TServer> server;
    std::unique_ptr<HostThread> hostThread;
    Tchat a;
    if (state.range(1)) {
        hostThread = std::make_unique<HostThread>(manual);
        a.setListener(std::bind_front(&HostThread::listen, hostThread.get()));
    } else {
        server = std::make_unique<TServer>();
        manual(*server);
        useHost(a, server.get());
    }
    bool joined = false;
    QObject::connect(&a.model(), &ClientModel::playerJoined,
            [&](int slot, const QByteArray &) { joined = joined || slot == 2; });
    a.setAbout(&about);
    a.setArguments({"A", "x", "true"});
    a.setPort(0);
    a.preferences().setPlaySounds(state.range(0) != 0);
    a.show();
    spinUntil([&] { return a.model().loggedin(); });
    quint16 port = server ? server->listeningPort() : 0;
    if (hostThread)
        hostThread->call([&](TServer &host) { port = host.listeningPort(); });
    QProcess b;
    b.setWorkingDirectory(dir.path());
    b.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    b.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--watcher"), QString::number(port)});
    spinUntil([&] { return joined; });
    a.model().send(QByteArray("CMD_startgame+A+500+120+f+0+") + char(0xFF));
    if (!await(b, 'r')) {
        state.SkipWithError("the watcher never saw the game start");
        return;
    }
    spinUntil([&] { return a.model().currentplayer() == 1; });

    for (auto _ : state) {
        const qint64 start = monotonicNs();
        a.board().cellReleased(Qt::LeftButton, QPoint(1, 1));
        const qint64 shown = await(b, 'p');
        if (!shown) {
            state.SkipWithError("the mark never showed");
            break;
        }
        state.SetIterationTime(double(shown - start) / 1e9);
        // Take it back (not timed) so the next pick is a first pick again,
        // then wait as a player would between picks: the host keeps one
        // connection's messages 10 ms apart and takes about 30 a second.
        a.strip().image_letter1Click(1);
        await(b, 'c');
        QElapsedTimer pause;
        pause.start();
        spinUntil([&] { return pause.elapsed() >= 70; });
    }
    state.counters["goal_ms"] = 2;
    b.kill();
    b.waitForFinished();
}

void BM_BareLoopbackRelay(benchmark::State &state)
{
    QTcpServer relay;
    relay.listen(QHostAddress::LocalHost);
    QTcpSocket from, to;
    from.connectToHost(QHostAddress::LocalHost, relay.serverPort());
    spinUntil([&] { return relay.hasPendingConnections(); });
    QTcpSocket *in = relay.nextPendingConnection();
    QTcpServer sink;
    sink.listen(QHostAddress::LocalHost);
    to.connectToHost(QHostAddress::LocalHost, sink.serverPort());
    spinUntil([&] { return sink.hasPendingConnections(); });
    QTcpSocket *out = sink.nextPendingConnection();
    for (QAbstractSocket *s : {static_cast<QAbstractSocket *>(&from), static_cast<QAbstractSocket *>(&to),
                 static_cast<QAbstractSocket *>(in), static_cast<QAbstractSocket *>(out)})
        s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QObject::connect(in, &QTcpSocket::readyRead, [&] { to.write(in->readAll()); });
    const QByteArray msg = QByteArray("CMD_selectletter+1+1+1+1+") + char(0xFF);
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        qint64 got = 0;
        from.write(msg);
        spinUntil([&] {
            got += out->readAll().size();
            return got >= msg.size();
        });
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
}

// A relay with no game in it, on a thread of its own as the program's host
// is: what comes in on one connection goes out on the other at once.
class OneWayRelay : public QObject {
public:
    OneWayRelay() : m_in(new QTcpServer(this)), m_out(new QTcpServer(this)) { }
    // On the relay's thread.
    void start()
    {
        m_in->listen(QHostAddress::LocalHost);
        m_out->listen(QHostAddress::LocalHost);
        connect(m_in, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *from = m_in->nextPendingConnection();
            from->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            connect(from, &QTcpSocket::readyRead, this, [this, from] {
                const QByteArray bytes = from->readAll();
                if (m_to) {
                    m_to->write(bytes);
                    m_to->flush();
                }
            });
        });
        connect(m_out, &QTcpServer::newConnection, this, [this] {
            m_to = m_out->nextPendingConnection();
            m_to->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            ready = true;
        });
    }
    quint16 inPort() const { return m_in->serverPort(); }
    quint16 outPort() const { return m_out->serverPort(); }
    std::atomic<bool> ready{false};

private:
    QTcpServer *m_in;
    QTcpServer *m_out;
    QTcpSocket *m_to = nullptr;
};

// The baseline for the pick: the same path (this thread writes, a relay
// thread passes the bytes on, another process reads them) and the same pace,
// without the game.
void BM_BareRelayApart(benchmark::State &state)
{
    QThread thread;
    auto *relay = new OneWayRelay;
    relay->moveToThread(&thread);
    thread.start();
    quint16 in = 0;
    quint16 out = 0;
    QMetaObject::invokeMethod(
            relay,
            [&] {
                relay->start();
                in = relay->inPort();
                out = relay->outPort();
            },
            Qt::BlockingQueuedConnection);
    const QByteArray msg = QByteArray("CMD_selectletter+1+1+1+1+") + char(0xFF);
    QProcess watcher;
    watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    watcher.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--bare-watcher"), QString::number(out), QString::number(msg.size())});
    QTcpSocket from;
    from.connectToHost(QHostAddress::LocalHost, in);
    from.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    spinUntil([&] { return relay->ready.load() && from.state() == QAbstractSocket::ConnectedState; });
    for (auto _ : state) {
        const qint64 start = monotonicNs();
        from.write(msg);
        from.flush();
        const qint64 shown = await(watcher, 'p');
        if (!shown) {
            state.SkipWithError("the bytes never came");
            break;
        }
        state.SetIterationTime(double(shown - start) / 1e9);
        QElapsedTimer pause;
        pause.start();
        spinUntil([&] { return pause.elapsed() >= 70; });
    }
    watcher.kill();
    watcher.waitForFinished();
    QMetaObject::invokeMethod(
            relay, [relay] { delete relay; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

} // namespace

BENCHMARK(BM_PickToDisplay)
        ->ArgNames({"sounds", "hostThread"})
        ->ArgsProduct({{0, 1}, {0, 1}})
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(repeats(100));
BENCHMARK(BM_BareRelayApart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(repeats(100));
BENCHMARK(BM_BareLoopbackRelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(repeats(100));

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && QByteArray(argv[1]) == "--watcher")
        return watcher(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--bare-watcher")
        return bareWatcher(argc, argv);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
