// Feeds arbitrary bytes to the host as if from four connected users, over
// real loopback connections, stepping the game timers after every message.
// The input is cut into chunks: a chunk's first byte picks the connection
// (and, now and then, a few timer ticks), the next byte its length.
// Whatever arrives, the host must neither crash nor hang.

#include "message.h"
#include "hostinput.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <memory>

namespace {

struct World {
    QTemporaryDir dir;
    std::unique_ptr<TServer> host;
    std::array<std::unique_ptr<QTcpSocket>, 4> peers;
    std::array<qint64, 4> written{};
    qint64 base = 0;

    World()
    {
        QDir::setCurrent(dir.path());
        host = std::make_unique<TServer>();
        host->setManualTimers(true);
        host->setMessageSpacing(0);
        host->setRandomSeed(1);
        host->listen(0);
    }

    void pump()
    {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        for (auto &p : peers)
            if (p)
                p->readAll();
    }

    // Reconnects whoever the last input cut off, and logs them in.
    void ensureConnected()
    {
        for (size_t i = 0; i < peers.size(); ++i) {
            auto &p = peers[i];
            if (p && p->state() == QAbstractSocket::ConnectedState)
                continue;
            p = std::make_unique<QTcpSocket>();
            p->connectToHost(QStringLiteral("127.0.0.1"), host->listeningPort());
            p->waitForConnected(1000);
        }
        drain();
    }

    void drain()
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            pump();
            while (host->queuedMessages() > 0) {
                host->socktimerTimer();
                host->Timer1Timer();
                host->computertimerTimer();
                pump();
            }
            // Bytes sent on a connection the host has since closed may never
            // be read: count only those of connections still open.
            qint64 sent = base;
            for (size_t i = 0; i < peers.size(); ++i)
                if (peers[i] && peers[i]->state() == QAbstractSocket::ConnectedState)
                    sent += written[i];
            if (host->bytesReceived() >= sent || t.elapsed() > 200)
                break;
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    World &w = fuzzWorld<World>("fuzz_host");
    w.ensureConnected();
    // Bytes from connections that no longer exist were counted but will not
    // be read again: start the count afresh from what the host has seen.
    w.base = w.host->bytesReceived();
    w.written.fill(0);
    forEachChunk(data, size, *w.host, [&w](int peer, const char *bytes, std::size_t len) {
        QTcpSocket *s = w.peers[size_t(peer)].get();
        if (s && s->state() == QAbstractSocket::ConnectedState) {
            s->write(bytes, qint64(len));
            s->flush();
            w.written[size_t(peer)] += qint64(len);
        }
        w.drain();
    });
    return 0;
}
