// A full room under load: nine clients on loopback, each sending chat lines
// and picks at 20 messages a second for a while; every relayed chat line is
// timed from its send to its arrival at another client. The baseline is a
// bare relay (each message passed on as it arrives, no game, no pacing);
// then the host with the same room, and the host with one of the nine
// flooding (bursts of 200 messages, then bursts of terminators) while the
// other eight keep their pace. Reports the median and worst latency of each.
// Then Klot in all four seats, its clocks driven as fast as it will play,
// at Normal and at Strong strength, taking turns run by run: Strong's search
// runs off the host's thread, so the room's lines must not wait for it (the
// Strong runs' latency against the Normal ones').
//
//   build/bench/bench_room [seconds]      (10 by default)

#include "barerelay.h"
#include "hostgame.h"
#include "message.h"
#include "smokeload.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace {

struct Peer {
    QTcpSocket sock;
    wire::Framer framer;
    int slot = 0;
};

struct Result {
    double median = 0, p99 = 0, worst = 0;
    size_t samples = 0;
    int words = 0; // words made in the run (Klot's)
};

void wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

Result run(int seconds, bool flood, bool bare = false, std::optional<game::KlotStrength> klot = std::nullopt)
{
    TServer host;
    BareRelay relay;
    host.setManualTimers(true);
    if (klot)
        host.game().setKlotStrength(*klot);
    if (!bare)
        host.listen(0);
    const quint16 port = bare ? relay.serverPort() : host.listeningPort();
    std::vector<std::unique_ptr<Peer>> peers;
    QElapsedTimer clock;
    clock.start();
    std::vector<double> latencies;
    int words = 0;
    // Each chat line carries its send time; peer 0 times the others' lines.
    for (int i = 0; i < 9; ++i) {
        auto p = std::make_unique<Peer>();
        Peer *raw = p.get();
        QObject::connect(&raw->sock, &QTcpSocket::readyRead, [raw, i, &latencies, &clock, &words] {
            QList<QByteArray> messages;
            raw->framer.feed(raw->sock.readAll(), messages);
            for (const QByteArray &m : messages) {
                if (m.startsWith("CMD_sendlogininfo+")) {
                    raw->slot = m.mid(18).toInt();
                    raw->sock.write("CMD_logininfo+" + QByteArray::number(raw->slot) + "+1.0.16+P"
                            + QByteArray::number(raw->slot) + char(0xFF));
                }
                if (i == 0 && m.startsWith("CMD_madeword+"))
                    ++words;
                // Peer 0 times everybody else's lines.
                const qsizetype at = m.indexOf("@t=");
                if (i == 0 && at >= 0 && !m.startsWith("CMD_chat+" + QByteArray::number(raw->slot) + "+"))
                    latencies.push_back(
                            double(clock.nsecsElapsed() - m.mid(at + 3).split('|').first().toLongLong()) / 1e6);
            }
        });
        raw->sock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        raw->sock.connectToHost(QStringLiteral("127.0.0.1"), port);
        peers.push_back(std::move(p));
        wait(30);
    }
    wait(200);
    // A game, so that picks are relayed too.
    peers[0]->sock.write(QByteArray("CMD_startgame+P1+10000+120+f+0+") + char(0xFF));
    wait(100);
    // Klot plays for every seated client that only watches, once the game is on.
    if (klot) {
        for (int i = 0; i < 4; ++i)
            peers[size_t(i)]->sock.write(
                    "CMD_justwatch+" + QByteArray::number(peers[size_t(i)]->slot) + "+1" + char(0xFF));
        wait(50);
    }
    latencies.clear();

    const int flooder = flood ? 8 : -1;
    int tick = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < seconds * 1000) {
        // Every 50 ms each honest client sends one message: 20 a second.
        for (int i = 0; i < 9; ++i) {
            Peer &p = *peers[size_t(i)];
            if (p.sock.state() != QAbstractSocket::ConnectedState || p.slot == 0)
                continue;
            if (i == flooder) {
                QByteArray burst;
                for (int k = 0; k < 200; ++k)
                    burst += "CMD_chat+" + QByteArray::number(p.slot) + "+flood|clRed" + char(0xFF);
                p.sock.write(tick % 2 ? QByteArray(100000, char(0xFF)) : burst);
                continue;
            }
            const QByteArray slot = QByteArray::number(p.slot);
            if ((tick + i) % 2 == 0)
                p.sock.write("CMD_chat+" + slot + "+P" + slot
                        + " chats: hi @t=" + QByteArray::number(clock.nsecsElapsed()) + "|clBlack" + char(0xFF));
            else
                p.sock.write("CMD_selectletter+" + slot + "+1+3+3+" + char(0xFF));
        }
        ++tick;
        // Klot's clocks as fast as the room's pace: its countdown to a move
        // runs out in a few ticks, and the arrow's wait with it.
        if (klot)
            for (int k = 0; k < 4; ++k) {
                host.computertimerTimer();
                host.Timer1Timer();
            }
        wait(50);
        // A flooder that was cut off comes back and floods again.
        if (flood && peers[size_t(flooder)]->sock.state() == QAbstractSocket::UnconnectedState) {
            peers[size_t(flooder)]->slot = 0;
            peers[size_t(flooder)]->framer = wire::Framer();
            peers[size_t(flooder)]->sock.connectToHost(QStringLiteral("127.0.0.1"), port);
        }
    }
    wait(200);
    Result r;
    r.samples = latencies.size();
    r.words = words;
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        r.median = latencies[latencies.size() / 2];
        r.p99 = latencies[latencies.size() * 99 / 100];
        r.worst = latencies.back();
    }
    return r;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    std::fclose(stderr); // the host reports every cut-off flooder there
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
    const Result bare = run(seconds, false, true);
    const Result calm = run(seconds, false);
    const Result attacked = run(seconds, true);
    std::printf("nine clients at 20 messages/s for %d s, relay latency of chat lines:\n", seconds);
    std::printf("  bare relay (baseline):       median %.2f ms, worst %.2f ms, %zu lines\n", bare.median, bare.worst,
            bare.samples);
    std::printf("  the host:                    median %.2f ms, worst %.2f ms, %zu lines (median %.1fx the bare "
                "relay)\n",
            calm.median, calm.worst, calm.samples, bare.median > 0 ? calm.median / bare.median : 0.0);
    std::printf("  one of the nine flooding:    median %.2f ms, worst %.2f ms, %zu lines\n", attacked.median,
            attacked.worst, attacked.samples);
    std::printf("  median under 1 ms and under 4x the bare relay, worst under 20 ms: %s\n",
            std::max(calm.median, attacked.median) < 1 && calm.median < 4 * bare.median
                            && std::max(calm.worst, attacked.worst) < 20
                    ? "yes"
                    : "no");

    // Klot at Normal and at Strong, run by run in turn, so that a slow spell
    // of the machine weighs on both alike.
    const int runs = repeats(3);
    std::vector<Result> normal, strong;
    for (int k = 0; k < runs; ++k) {
        normal.push_back(run(seconds, false, false, game::KlotStrength::Normal));
        strong.push_back(run(seconds, false, false, game::KlotStrength::Strong));
    }
    std::printf("Klot in all four seats, its clocks driven, chat from the room as above (%d runs each):\n", runs);
    std::vector<double> medianRatio, p99Ratio;
    for (int k = 0; k < runs; ++k) {
        const Result &n = normal[size_t(k)], &s = strong[size_t(k)];
        std::printf("  run %d: Normal median %.3f p99 %.3f worst %.2f ms (%d words); Strong median %.3f p99 %.3f "
                    "worst %.2f ms (%d words)\n",
                k + 1, n.median, n.p99, n.worst, n.words, s.median, s.p99, s.worst, s.words);
        medianRatio.push_back(n.median > 0 ? s.median / n.median : 0.0);
        p99Ratio.push_back(n.p99 > 0 ? s.p99 / n.p99 : 0.0);
    }
    std::sort(medianRatio.begin(), medianRatio.end());
    std::sort(p99Ratio.begin(), p99Ratio.end());
    std::printf("  Strong / Normal, min / median / max: median latency %.2f / %.2f / %.2f, p99 %.2f / %.2f / %.2f\n",
            medianRatio.front(), medianRatio[medianRatio.size() / 2], medianRatio.back(), p99Ratio.front(),
            p99Ratio[p99Ratio.size() / 2], p99Ratio.back());
    return 0;
}
