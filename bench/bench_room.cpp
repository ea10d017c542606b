// A full room under load: nine clients on loopback, each sending chat lines
// and picks at 20 messages a second for a while; every relayed chat line is
// timed from its send to its arrival at another client. The baseline is a
// bare relay (each message passed on as it arrives, no game, no pacing);
// then the host with the same room, and the host with one of the nine
// flooding (bursts of 200 messages, then bursts of terminators) while the
// other eight keep their pace. Reports the median and worst latency of each.
//
//   build/bench/bench_room [seconds]      (10 by default)

#include "barerelay.h"
#include "message.h"
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
#include <vector>

namespace {

struct Peer {
    QTcpSocket sock;
    wire::Framer framer;
    int slot = 0;
};

struct Result {
    double median = 0, worst = 0;
    size_t samples = 0;
    int flooderCut = 0;
};

void wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

Result run(int seconds, bool flood, bool bare = false)
{
    TServer host;
    BareRelay relay;
    host.setManualTimers(true);
    if (!bare)
        host.listen(0);
    const quint16 port = bare ? relay.serverPort() : host.listeningPort();
    std::vector<std::unique_ptr<Peer>> peers;
    QElapsedTimer clock;
    clock.start();
    std::vector<double> latencies;
    // Each chat line carries its send time; peer 0 times the others' lines.
    for (int i = 0; i < 9; ++i) {
        auto p = std::make_unique<Peer>();
        Peer *raw = p.get();
        QObject::connect(&raw->sock, &QTcpSocket::readyRead, [raw, i, &latencies, &clock] {
            QList<QByteArray> messages;
            raw->framer.feed(raw->sock.readAll(), messages);
            for (const QByteArray &m : messages) {
                if (m.startsWith("CMD_sendlogininfo+")) {
                    raw->slot = m.mid(18).toInt();
                    raw->sock.write("CMD_logininfo+" + QByteArray::number(raw->slot) + "+1.0.16+P"
                            + QByteArray::number(raw->slot) + char(0xFF));
                }
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
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        r.median = latencies[latencies.size() / 2];
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
    return 0;
}
