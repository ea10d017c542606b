// What the internet lobby costs a copy that sits with the Host or Join
// dialog open: the share of a core the process uses over a stretch of idle
// time, and its resident memory, with the dialog closed (the baseline), open
// on the local network alone, and open on a real Mosquitto broker that lists
// 200 games (the most a copy keeps); then the same lobby churning: the 200
// hosts each changing its game twice a second, with the longest time the
// window's thread was held and the memory after.
//
//   build/bench/bench_lobby [seconds] [repeats]      (10 and 3 by default)

#include "broker.h"
#include "internetlobby.h"
#include "tlobby.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>

#include <mosquitto.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <thread>
#include <vector>

namespace {

// Runs the event loop (sleeping while nothing happens) for the time.
void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

long residentKb()
{
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLong() * 4;
}

// Share of one core over the stretch, in percent.
double idleShare(int seconds)
{
    wait(300); // what the last step left to do settles first
    const double cpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait(seconds * 1000);
    return 100.0 * (cpuSeconds() - cpu) / (double(wall.nsecsElapsed()) / 1e9);
}

// 200 hosts' retained games, published by one client on a broker without an
// access list (so one client may speak for all).
void fillLobby(quint16 port)
{
    mosquitto_lib_init();
    mosquitto *m = mosquitto_new("filler", true, nullptr);
    mosquitto_connect(m, "127.0.0.1", port, 30);
    mosquitto_loop_start(m);
    for (int i = 0; i < lobby::MaxInternetGames; ++i) {
        lobby::InternetGame g;
        g.name = QStringLiteral("Player %1").arg(i);
        g.seatsTaken = 1 + i % 4;
        g.running = i % 2;
        g.address = QStringLiteral("81.2.69.%1").arg(1 + i % 250);
        const QByteArray bytes = *lobby::encodeGame(g);
        const QByteArray topic = lobby::TopicRoot + "games/h" + QByteArray::number(i);
        mosquitto_publish(m, nullptr, topic.constData(), int(bytes.size()), bytes.constData(), 1, true);
    }
    wait(500);
    mosquitto_disconnect(m);
    mosquitto_loop_stop(m, false);
    mosquitto_destroy(m);
}

// Hosts changing their games twice a second each, on a thread of their own,
// for the time; meanwhile the window's thread is watched by a 10 ms timer.
struct Churn {
    double share = 0;
    qint64 longestGapMs = 0;
    long residentKb = 0;
};
Churn churn(quint16 port, int seconds)
{
    constexpr int Hosts = lobby::MaxInternetGames;
    std::atomic_bool stop{false};
    std::thread hosts([&] {
        mosquitto *m = mosquitto_new("churner", true, nullptr);
        mosquitto_connect(m, "127.0.0.1", port, 30);
        mosquitto_loop_start(m);
        for (int round = 0; !stop; ++round) {
            for (int i = 0; i < Hosts; ++i) {
                lobby::InternetGame g;
                g.name = QStringLiteral("Player %1").arg(i);
                g.seatsTaken = 1 + round % 4;
                g.address = QStringLiteral("81.2.69.%1").arg(1 + i % 250);
                const QByteArray bytes = *lobby::encodeGame(g);
                const QByteArray topic = lobby::TopicRoot + "games/h" + QByteArray::number(i);
                mosquitto_publish(m, nullptr, topic.constData(), int(bytes.size()), bytes.constData(), 0, true);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        mosquitto_disconnect(m);
        mosquitto_loop_stop(m, false);
        mosquitto_destroy(m);
    });
    Churn c;
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { c.longestGapMs = std::max(c.longestGapMs, sinceTick.restart()); });
    tick.start(10);
    c.share = idleShare(seconds);
    stop = true;
    hosts.join();
    tick.stop();
    c.residentKb = residentKb();
    return c;
}

struct Spread {
    std::vector<double> v;
    void print(const char *what) const
    {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        std::printf(
                "%-44s min %6.3f  median %6.3f  max %6.3f %% of a core\n", what, s.front(), s[s.size() / 2], s.back());
    }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const int repeats = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    Broker broker(false);
    if (!broker.reachable()) {
        std::fprintf(stderr, "mosquitto did not start\n");
        return 1;
    }
    fillLobby(broker.port);

    Tlobby dialog;
    dialog.setListenPort(0);
    lobby::InternetLobby internet;
    dialog.setInternet(&internet);
    dialog.setLobbyServer(broker.address());

    Spread closed, local, listed, churning;
    long rssClosed = 0, rssLocal = 0, rssListed = 0;
    Churn worst;
    for (int r = 0; r < repeats; ++r) {
        dialog.hide();
        internet.close();
        closed.v.push_back(idleShare(seconds));
        rssClosed = residentKb();

        dialog.show();
        local.v.push_back(idleShare(seconds));
        rssLocal = residentKb();

        internet.open(broker.address());
        QElapsedTimer t;
        t.start();
        while (dialog.hostList()->count() < lobby::MaxInternetGames && t.elapsed() < 10000)
            wait(20);
        if (dialog.hostList()->count() != lobby::MaxInternetGames) {
            std::fprintf(stderr, "only %d games listed\n", dialog.hostList()->count());
            return 1;
        }
        listed.v.push_back(idleShare(seconds));
        rssListed = residentKb();

        const Churn c = churn(broker.port, seconds);
        churning.v.push_back(c.share);
        worst.longestGapMs = std::max(worst.longestGapMs, c.longestGapMs);
        worst.residentKb = std::max(worst.residentKb, c.residentKb);
    }
    std::printf("idle over %d s, %d repeats\n", seconds, repeats);
    closed.print("dialog closed (baseline)");
    local.print("dialog open, local network only");
    listed.print("dialog open, internet lobby with 200 games");
    churning.print("dialog open, the 200 changing twice a second");
    std::printf("resident memory: closed %ld KiB, open %ld KiB (+%ld), with 200 games %ld KiB (+%ld over open, "
                "%.1f KiB a game)\n",
            rssClosed, rssLocal, rssLocal - rssClosed, rssListed, rssListed - rssLocal,
            double(rssListed - rssLocal) / lobby::MaxInternetGames);
    std::printf("churning: the window's thread held at most %lld ms; resident memory after %ld KiB (+%ld over 200 "
                "games)\n",
            static_cast<long long>(worst.longestGapMs), worst.residentKb, worst.residentKb - rssListed);
    return 0;
}
