// What a busy internet lobby costs the window, measured from the moment the
// player opens the Host or Join dialog on a real Mosquitto broker that holds
// 10 games (the baseline), 1,000 and 10,000, each sealed by a host of its
// own: the longest the window's thread was held (a 2 ms timer's longest
// wait), the time until every game is listed, and resident memory before
// opening, once listed, and after closing. Then a thousand hosts vanish at
// once and their last wills clear their games, with the dialog open: the
// longest the window was held while the rows went. Finally the old idle
// measure: the share of a core the process uses with the dialog open on a
// listed lobby, against it closed.
//
//   build/bench/bench_lobby [repeats] [idle seconds]     (3 and 5 by default)
//   build/bench/bench_lobby fill PORT COUNT   (fills a broker of your own)

#include "broker.h"
#include "identity.h"
#include "internetlobby.h"
#include "tlobby.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QListView>
#include <QTimer>

#include <mosquitto.h>

#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <cstdio>
#include <ctime>
#include <malloc.h>
#include <sys/socket.h>
#include <vector>

namespace {

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

// The longest the window's thread went without running a 2 ms timer, while
// `until` is false (or for `ms` when it is null).
template <typename Until> qint64 longestHold(Until until, int timeoutMs, qint64 *tookMs)
{
    qint64 longest = 0;
    QElapsedTimer since, all;
    since.start();
    all.start();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, since.restart()); });
    tick.start(2);
    while (!until() && all.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    *tookMs = all.elapsed();
    // What follows the last row (the view's layout, a paint) counts too.
    const QDeadlineTimer after(200);
    while (!after.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return longest;
}

lobby::InternetGame gameNumber(int i)
{
    lobby::InternetGame g;
    g.name = QStringLiteral("Player %1").arg(i, 5, 10, QLatin1Char('0'));
    g.seatsTaken = 1 + i % 4;
    g.running = i % 2;
    g.address = QStringLiteral("81.2.%1.%2").arg(i / 250 % 250).arg(1 + i % 250);
    return g;
}

// A game sealed by a host's own key, on that host's topic.
std::pair<QByteArray, QByteArray> sealedGame(const lobby::Identity &me, int i)
{
    const QByteArray topic = lobby::TopicRoot + "games/" + me.id().toLatin1();
    return {topic, me.seal(topic, *lobby::encodeGame(gameNumber(i)), QDateTime::currentMSecsSinceEpoch())};
}

// Games the broker keeps, each sealed by a host of its own, put there by one
// client (the broker has no access list here).
void fill(quint16 port, int count)
{
    std::atomic_int done{0};
    mosquitto *m = mosquitto_new("filler", true, &done);
    mosquitto_publish_callback_set(
            m, [](mosquitto *, void *done, int) { static_cast<std::atomic_int *>(done)->fetch_add(1); });
    mosquitto_connect(m, "127.0.0.1", port, 60);
    mosquitto_loop_start(m);
    for (int i = 0; i < count; ++i) {
        const auto [topic, bytes] = sealedGame(*lobby::Identity::fresh(), i);
        mosquitto_publish(m, nullptr, topic.constData(), int(bytes.size()), bytes.constData(), 1, true);
    }
    // Every game acknowledged: the broker keeps it.
    for (int i = 0; i < 3000 && done < count; ++i)
        QThread::msleep(10);
    mosquitto_disconnect(m);
    mosquitto_loop_stop(m, false);
    mosquitto_destroy(m);
}

// Hosts connected each as itself, each with its last will: its game cleared.
struct Hosts {
    std::vector<mosquitto *> clients;
    Hosts(quint16 port, int count)
    {
        for (int i = 0; i < count; ++i) {
            const lobby::Identity me = *lobby::Identity::fresh();
            const auto [topic, bytes] = sealedGame(me, i);
            mosquitto *m = mosquitto_new(me.id().toLatin1().constData(), true, nullptr);
            mosquitto_will_set(m, topic.constData(), 0, nullptr, 1, true);
            mosquitto_connect_async(m, "127.0.0.1", port, 60);
            mosquitto_publish(m, nullptr, topic.constData(), int(bytes.size()), bytes.constData(), 0, true);
            clients.push_back(m);
            // The broker takes them as they come.
            for (mosquitto *c : clients)
                if (i % 50 == 49)
                    mosquitto_loop(c, 0, 1);
        }
        for (int round = 0; round < 3; ++round)
            for (mosquitto *m : clients)
                mosquitto_loop(m, 0, 1);
    }
    // The connections cut at once: the broker fires every last will.
    void cut()
    {
        for (mosquitto *m : clients) {
            shutdown(mosquitto_socket(m), SHUT_RDWR);
            mosquitto_destroy(m);
        }
        clients.clear();
    }
    ~Hosts() { cut(); }
};

struct Spread {
    std::vector<double> v;
    void add(double x) { v.push_back(x); }
    QByteArray text(const char *unit) const
    {
        std::vector<double> s = v;
        std::sort(s.begin(), s.end());
        return QStringLiteral("min %1  median %2  max %3 %4")
                .arg(s.front(), 7, 'f', 1)
                .arg(s[s.size() / 2], 7, 'f', 1)
                .arg(s.back(), 7, 'f', 1)
                .arg(QLatin1String(unit))
                .toLatin1();
    }
};

struct Opening {
    Spread held, listed, grewKb, leftKb;
};

} // namespace

int main(int argc, char **argv)
{
    // "fill PORT COUNT": only fills a running broker (to look at a busy
    // lobby in the game itself), then ends.
    if (argc == 4 && QByteArray(argv[1]) == "fill") {
        QCoreApplication app(argc, argv);
        mosquitto_lib_init();
        fill(quint16(atoi(argv[2])), atoi(argv[3]));
        return 0;
    }
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const int idleSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 5;
    mosquitto_lib_init();

    const int sizes[] = {10, 1000, 10000};
    Opening opening[3];
    Spread willsHeld, idleClosed, idleOpen;
    for (int r = 0; r < repeats; ++r) {
        for (int s = 0; s < 3; ++s) {
            const int games = sizes[s];
            Broker broker(false);
            if (!broker.reachable()) {
                std::fprintf(stderr, "mosquitto did not start\n");
                return 1;
            }
            fill(broker.port, games);
            Tlobby dialog;
            dialog.setListenPort(0);
            lobby::InternetLobby internet;
            dialog.setInternet(&internet);
            dialog.setLobbyServer(broker.address());
            wait(100);
            const long before = residentKb();
            // Opened as the player opens it: shown, and the lobby read.
            qint64 took = 0;
            const qint64 held = longestHold(
                    [&] {
                        if (!dialog.isVisible()) {
                            dialog.show();
                            internet.open(broker.address());
                        }
                        return dialog.games().rowCount() == games;
                    },
                    60000, &took);
            if (dialog.games().rowCount() != games) {
                std::fprintf(stderr, "only %d of %d games listed (%lld kept)\n", dialog.games().rowCount(), games,
                        (long long)internet.model().gameCount());
                return 1;
            }
            const long listed = residentKb();
            if (games == 1000) {
                // Idle with a listed lobby, then closed.
                double cpu = cpuSeconds();
                wait(idleSeconds * 1000);
                idleOpen.add(100 * (cpuSeconds() - cpu) / idleSeconds);
            }
            dialog.hide();
            internet.close();
            wait(100);
            if (games == 1000) {
                const double cpu = cpuSeconds();
                wait(idleSeconds * 1000);
                idleClosed.add(100 * (cpuSeconds() - cpu) / idleSeconds);
            }
            const long after = residentKb();
            opening[s].held.add(double(held));
            opening[s].listed.add(double(took));
            opening[s].grewKb.add(double(listed - before) / 1024);
            opening[s].leftKb.add(double(after - before) / 1024);
        }

        // A thousand hosts listed, then gone at once.
        Broker broker(false);
        Hosts hosts(broker.port, 1000);
        Tlobby dialog;
        dialog.setListenPort(0);
        lobby::InternetLobby internet;
        dialog.setInternet(&internet);
        dialog.show();
        internet.open(broker.address());
        QElapsedTimer t;
        t.start();
        while (dialog.games().rowCount() < 1000 && t.elapsed() < 30000)
            wait(20);
        wait(300);
        qint64 took = 0;
        // Cut on a thread of its own: the hosts' end is not the window's work.
        std::thread cutter;
        const qint64 held = longestHold(
                [&] {
                    if (!cutter.joinable())
                        cutter = std::thread([&] { hosts.cut(); });
                    return dialog.games().rowCount() == 0;
                },
                30000, &took);
        cutter.join();
        if (dialog.games().rowCount() != 0) {
            std::fprintf(stderr, "%d games left after their hosts' last wills\n", dialog.games().rowCount());
            return 1;
        }
        willsHeld.add(double(held));
    }

    std::printf("Opening Host or Join a Game on a lobby holding N games, %d repeats:\n", repeats);
    for (int s = 0; s < 3; ++s) {
        std::printf("  %5d games: window held  %s\n", sizes[s], opening[s].held.text("ms").constData());
        std::printf("               all listed in %s\n", opening[s].listed.text("ms").constData());
        std::printf("               memory grew   %s  (left after closing %s)\n",
                opening[s].grewKb.text("MiB").constData(), opening[s].leftKb.text("MiB").constData());
    }
    std::printf("  10,000 against 10 games: memory +%.1f MiB (goal at most 10)\n",
            opening[2].grewKb.v[opening[2].grewKb.v.size() / 2] - opening[0].grewKb.v[opening[0].grewKb.v.size() / 2]);
    std::printf("1,000 last wills at once, dialog open: window held %s (goal under 16)\n",
            willsHeld.text("ms").constData());
    std::printf("Idle over %d s with 1,000 games: dialog open %s, closed %s\n", idleSeconds,
            idleOpen.text("% of a core").constData(), idleClosed.text("% of a core").constData());
    return 0;
}
