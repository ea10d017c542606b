// Pick to display: from a pick on one player's board to its mark on another
// player's board, through the host, over loopback. A message that finds both
// dispatchers idle is handled at once, so the goal is about a loopback round
// trip: at most 2 ms. The baseline in the same run is a bare loopback relay
// of the same bytes through a socket pair, which is what the path costs
// without any game logic.
//
// The pick runs with the game's sounds off and on (argument 0 and 1): run it
// with an audio server up (a PulseAudio null sink will do) to see what
// playing the pick's sound costs the window's thread.

#include "usehost.h"
#include "tabout.h"
#include "tchat.h"
#include "tserver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "qtbenchmain.h"

namespace {

void spinUntil(const std::function<bool()> &done)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void BM_PickToDisplay(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    Tabout about;
    TServer server;
    server.setManualTimers(true);
    Tchat a;
    useHost(a, &server);
    a.setAbout(&about);
    a.setArguments({"A", "x", "true"});
    a.setPort(0);
    a.preferences().setPlaySounds(state.range(0) != 0);
    a.show();
    spinUntil([&] { return a.model().loggedin(); });
    Tchat b;
    b.setArguments({"B", "127.0.0.1", "false"});
    b.setPort(server.listeningPort());
    b.show();
    spinUntil([&] { return b.model().loggedin(); });
    a.model().send(QByteArray("CMD_startgame+A+500+120+f+0+") + char(0xFF));
    spinUntil([&] { return a.model().currentplayer() == 1 && b.model().currentplayer() == 1; });

    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        a.board().cellReleased(Qt::LeftButton, QPoint(1, 1));
        spinUntil([&] { return b.model().board().overlay[1][1] == 29; });
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        // Take it back (not timed) so the next pick is a first pick again,
        // then wait as a player would between picks: the host keeps one
        // connection's messages 10 ms apart and takes about 30 a second.
        a.strip().image_letter1Click(1);
        spinUntil([&] { return b.model().board().path[1] == QPoint(-1, -1); });
        QElapsedTimer pause;
        pause.start();
        spinUntil([&] { return pause.elapsed() >= 70; });
    }
    state.counters["goal_ms"] = 2;
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

} // namespace

BENCHMARK(BM_PickToDisplay)
        ->ArgName("sounds")
        ->Arg(0)
        ->Arg(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(100);
BENCHMARK(BM_BareLoopbackRelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

QT_BENCHMARK_MAIN()
