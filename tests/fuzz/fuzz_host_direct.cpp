// The host fuzz target's inputs fed straight to the host's dispatch, without
// sockets: four peers attached in process, each with a framer like the one a
// connection has, the timers stepped as in the socket variant. Many times
// faster, so the fuzzer reaches deep game states; the socket variant keeps
// the connection handling honest.

#include "framer.h"
#include "hostinput.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <memory>

namespace {

struct World {
    QTemporaryDir dir;
    std::unique_ptr<TServer> host;
    std::array<int, 4> peerSlots{};
    std::array<wire::Framer, 4> framers{wire::Framer(TServer::MaxPending), wire::Framer(TServer::MaxPending),
            wire::Framer(TServer::MaxPending), wire::Framer(TServer::MaxPending)};
    qint64 sent = 0;

    World()
    {
        QDir::setCurrent(dir.path());
        host = std::make_unique<TServer>();
        host->setManualTimers(true);
        host->setRandomSeed(1);
        // Everything the host says is counted and dropped.
        host->setSendSink([this](int, const QByteArray &m) { sent += m.size(); });
    }

    // Attaches whoever the last input cut off (kicked or flooding).
    void ensureAttached()
    {
        for (size_t i = 0; i < peerSlots.size(); ++i) {
            if (peerSlots[i] != 0 && host->tplayers[peerSlots[i]].active)
                continue;
            peerSlots[i] = host->attachPeer();
            framers[i] = wire::Framer(TServer::MaxPending);
        }
    }

    void feed(size_t peer, const char *bytes, qsizetype len)
    {
        const int slot = peerSlots[peer];
        if (slot == 0 || !host->tplayers[slot].active)
            return;
        QList<QByteArray> messages;
        const bool ok = framers[peer].feed(QByteArray::fromRawData(bytes, len), messages);
        for (const QByteArray &m : messages) {
            host->handle(slot, m);
            if (!host->tplayers[slot].active)
                return;
        }
        if (!ok)
            host->detachPeer(slot);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    World &w = fuzzWorld<World>("fuzz_host_direct");
    w.ensureAttached();
    forEachChunk(data, size, *w.host, [&w](int peer, const char *bytes, std::size_t len) {
        w.feed(size_t(peer), bytes, qsizetype(len));
        w.host->Timer1Timer();
        w.host->computertimerTimer();
    });
    return 0;
}
