// What the internet lobby costs a copy that sits with the Host or Join
// dialog open: the share of a core the process uses over a stretch of idle
// time, and its resident memory, with the dialog closed (the baseline), open
// on the local network alone, and open on a real Mosquitto broker that lists
// 200 games (the most a copy keeps).
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
#include <cstdio>
#include <ctime>
#include <malloc.h>
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
        g.address = QStringLiteral("198.51.100.%1").arg(1 + i % 250);
        const QByteArray bytes = *lobby::encodeGame(g);
        const QByteArray topic = lobby::TopicRoot + "games/h" + QByteArray::number(i);
        mosquitto_publish(m, nullptr, topic.constData(), int(bytes.size()), bytes.constData(), 1, true);
    }
    wait(500);
    mosquitto_disconnect(m);
    mosquitto_loop_stop(m, false);
    mosquitto_destroy(m);
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

    Spread closed, local, listed;
    long rssClosed = 0, rssLocal = 0, rssListed = 0;
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
    }
    std::printf("idle over %d s, %d repeats\n", seconds, repeats);
    closed.print("dialog closed (baseline)");
    local.print("dialog open, local network only");
    listed.print("dialog open, internet lobby with 200 games");
    std::printf("resident memory: closed %ld KiB, open %ld KiB (+%ld), with 200 games %ld KiB (+%ld over open, "
                "%.1f KiB a game)\n",
            rssClosed, rssLocal, rssLocal - rssClosed, rssListed, rssListed - rssLocal,
            double(rssListed - rssLocal) / lobby::MaxInternetGames);
    return 0;
}
