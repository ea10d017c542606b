// What a chat line costs the window's thread.
//
// - Hidden views, each line laid out on its own: a view capped at 2,000 lines
//   against one allowed to grow to 20,000 (the cap must not make a line dearer).
// - A shown view at the cap, lines arriving back to back and at 200 a second
//   (nine users chatting hard), against a bare QTextBrowser of the same size
//   given the same lines at the same pace, each appended and painted.
// - The hosting copy, window shown, with nine users chatting at 20 lines a
//   second each, against the host alone and a bare relay alone with the same
//   nine: the share of a core the window's thread and the host's (or the
//   relay's) thread spend, over a few seconds.

#include "barerelay.h"
#include "tchat.h"
#include "tserver.h"
#include "hostthread.h"
#include "usehost.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QThread>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#include "qtbenchmain.h"

namespace {

const QByteArray kPrefill = "Ann chats: a line with a www.link.com and a :)#12 smiley ";
const QByteArray kSteady = "Ann chats: steady line ";

// Waits without spending the thread's time, running events as they come.
void idle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Hidden views: each line ends its own batch, so it is laid out at once.
void hiddenRun(benchmark::State &state, int cap, int prefill)
{
    Tchat chat;
    chat.chatView().setMaxLines(cap);
    for (int i = 0; i < prefill; ++i)
        chat.addlinetochat(2, kPrefill + QByteArray::number(i), 0);
    chat.chatView().flush();
    int i = 0;
    for (auto _ : state) {
        chat.addlinetochat(2, kSteady + QByteArray::number(i++), 0);
        chat.chatView().flush();
    }
}

void BM_LineIntoCappedView(benchmark::State &state)
{
    hiddenRun(state, ChatView::MaxLines, ChatView::MaxLines);
}

void BM_LineIntoUncappedView(benchmark::State &state)
{
    hiddenRun(state, 1 << 30, 20000);
}

// range(0): lines a second, 0 for back to back (events run after each line).
void pace(benchmark::State &state)
{
    if (state.range(0) > 0)
        idle(int(1000 / state.range(0)));
    else
        QCoreApplication::processEvents();
}

void BM_LineIntoShownCappedView(benchmark::State &state)
{
    Tchat chat;
    chat.show();
    for (int i = 0; i < ChatView::MaxLines; ++i)
        chat.addlinetochat(2, kPrefill + QByteArray::number(i), 0);
    idle(50);
    int i = 0;
    for (auto _ : state) {
        chat.addlinetochat(2, kSteady + QByteArray::number(i++), 0);
        pace(state);
    }
}

long residentKb()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

// Memory of a shown view at the cap, before and after 20,000 more lines:
// the history's trimming must hand the memory back.
void BM_MemoryOver20000Lines(benchmark::State &state)
{
    for (auto _ : state) {
        Tchat chat;
        chat.show();
        for (int i = 0; i < ChatView::MaxLines; ++i)
            chat.addlinetochat(2, kPrefill + QByteArray::number(i), 0);
        idle(50);
        const long before = residentKb();
        for (int i = 0; i < 20000; ++i) {
            chat.addlinetochat(2, kPrefill + QByteArray::number(i), 0);
            if (i % 10 == 0)
                idle(1);
        }
        idle(50);
        state.counters["rss_at_cap_kb"] = double(before);
        state.counters["rss_growth_kb"] = double(residentKb() - before);
    }
}

// The least a shown view can do per line: a bare QTextBrowser of the same
// size, each line appended as it comes, then painted.
void BM_LineIntoBareBrowser(benchmark::State &state)
{
    QTextBrowser view;
    view.resize(520, 300);
    view.show();
    for (int i = 0; i < ChatView::MaxLines; ++i)
        view.append(QStringLiteral("Ann chats: a line with a www.link.com and a smiley ") + QString::number(i));
    idle(50);
    int i = 0;
    for (auto _ : state) {
        view.append(QStringLiteral("Ann chats: steady line ") + QString::number(i++));
        pace(state);
    }
}

// Users on loopback, on a thread of their own so that their cost is not the
// hosting copy's: each logs in and chats every 50 ms.
class Users : public QObject {
public:
    Users(quint16 port, int count) : m_port(port), m_count(count) { }
    void start()
    {
        for (int i = 0; i < m_count; ++i) {
            auto *s = new QTcpSocket(this);
            auto slot = std::make_shared<QByteArray>();
            auto pending = std::make_shared<QByteArray>();
            connect(s, &QTcpSocket::readyRead, s, [s, slot, pending] {
                *pending += s->readAll();
                qsizetype end;
                while ((end = pending->indexOf(char(0xFF))) >= 0) {
                    const QByteArray m = pending->left(end);
                    pending->remove(0, end + 1);
                    if (m.startsWith("CMD_sendlogininfo+")) {
                        *slot = m.mid(18);
                        s->write("CMD_logininfo+" + *slot + "+1.0.16+P" + *slot + char(0xFF));
                    }
                }
            });
            s->connectToHost(QStringLiteral("127.0.0.1"), m_port);
            auto *t = new QTimer(this);
            connect(t, &QTimer::timeout, s, [s, slot, n = 0]() mutable {
                if (!slot->isEmpty())
                    s->write("CMD_chat+" + *slot + "+P" + *slot + " chats: line " + QByteArray::number(n++) + "|clBlack"
                            + char(0xFF));
            });
            t->start(50 + i); // not all in step
        }
    }

private:
    quint16 m_port;
    int m_count;
};

// The bare relay on a thread of its own, for the floor of what relaying
// nine users' chat costs on this machine.
class RelayThread {
public:
    RelayThread()
    {
        m_anchor.moveToThread(&m_thread);
        m_thread.start();
        onThread([this] { m_relay = std::make_unique<BareRelay>(true); });
    }
    ~RelayThread()
    {
        QThread *home = QThread::currentThread();
        onThread([this, home] {
            m_relay.reset();
            m_anchor.moveToThread(home);
        });
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_relay->serverPort(); }
    double cpuSeconds()
    {
        double cpu = 0;
        onThread([&cpu] { cpu = threadCpuSeconds(); });
        return cpu;
    }

private:
    template <typename F> void onThread(F f) { QMetaObject::invokeMethod(&m_anchor, f, Qt::BlockingQueuedConnection); }
    QThread m_thread;
    QObject m_anchor;
    std::unique_ptr<BareRelay> m_relay;
};

// range(0): 1 for the hosting copy with its window, 0 for the host alone,
// 2 for the bare relay alone. The host runs on its own thread, as in the
// program: the copy's share is the window's thread and the host's together.
void BM_HostingNineChatting(benchmark::State &state)
{
    const bool window = state.range(0) == 1;
    const bool bare = state.range(0) == 2;
    for (auto _ : state) {
        QTemporaryDir dir;
        QDir::setCurrent(dir.path());
        std::unique_ptr<HostThread> host;
        std::unique_ptr<RelayThread> relay;
        quint16 port = 0;
        std::unique_ptr<Tchat> chat;
        QTimer own;
        if (bare) {
            relay = std::make_unique<RelayThread>();
            port = relay->port();
        } else {
            host = std::make_unique<HostThread>();
        }
        if (window) {
            chat = std::make_unique<Tchat>();
            chat->setListener(std::bind_front(&HostThread::listen, host.get()));
            chat->setArguments({"A", "x", "true"});
            chat->setPort(0);
            chat->show();
            idle(300);
            // The hosting copy's own user chats as well.
            QObject::connect(&own, &QTimer::timeout,
                    [&chat, n = 0]() mutable { chat->model().sendChat("own line " + QByteArray::number(n++), 0); });
            own.start(50);
        } else if (host) {
            host->listen(0, &port, nullptr);
        }
        if (host)
            host->call([&](TServer &server) { port = server.listeningPort(); });
        QThread thread;
        Users users(port, window ? 8 : 9);
        users.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&users, [&users] { users.start(); });
        idle(500); // everybody in
        const auto relayCpu = [&] {
            if (relay)
                return relay->cpuSeconds();
            double cpu = 0;
            host->call([&](TServer &) { cpu = threadCpuSeconds(); });
            return cpu;
        };
        const double relay0 = relayCpu();
        const double window0 = threadCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        idle(5000);
        const double relayShare = 100 * (relayCpu() - relay0) / (double(wall.nsecsElapsed()) / 1e9);
        const double windowShare =
                window ? 100 * (threadCpuSeconds() - window0) / (double(wall.nsecsElapsed()) / 1e9) : 0.0;
        state.counters["core_percent"] = relayShare + windowShare;
        state.counters["relay_percent"] = relayShare;
        own.stop();
        QMetaObject::invokeMethod(
                &users, [&users] { qDeleteAll(users.children()); }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
        chat.reset();
    }
}

} // namespace

BENCHMARK(BM_LineIntoCappedView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoUncappedView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoShownCappedView)->ArgName("per_s")->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineIntoBareBrowser)->ArgName("per_s")->Arg(0)->Arg(200)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemoryOver20000Lines)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_HostingNineChatting)->ArgName("copy")->Arg(2)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

QT_BENCHMARK_MAIN()
