// What the window's motion costs: the share of one core the whole program
// uses while a made word's points rise and the tiles slide (one second from
// the word), against the same window over the same second with nothing
// moving; and the slide alone over its own 300 ms. Goal: under 5% of one
// core while it runs.

#include "boardmessage.h"
#include "fakehost.h"
#include "tchat.h"

#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>

#include "qtbenchmain.h"

namespace {
const char *kBoard = "QUIZABCDEFGHIJKLMNOPQRSTEUVWXYZABCDEFGHIJKLMNOPQR";

qint64 cpuNs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

enum class Motion { None, WordAndSlide, SlideOnly };

void run(benchmark::State &state, Motion motion, int windowMs)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    FakeHost host;
    auto chat = joinWindow<Tchat>(host);
    feedWindow(host, *chat, {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_startgame+Ann+500+60+f+1+"});
    qint64 cpu = 0, wall = 0;
    for (auto _ : state) {
        feedWindow(host, *chat, {boardMessage(kBoard), "CMD_nextplayer+1+1+"});
        waitMs(50);
        const qint64 c0 = cpuNs();
        QElapsedTimer t;
        t.start();
        if (motion == Motion::WordAndSlide)
            host.say({"CMD_madeword+1+QUIZ+42+42+42+0+0+0+1+0+2+0+3+0", "CMD_moving+1+"});
        if (motion == Motion::SlideOnly)
            host.say({"CMD_moving+1+"});
        waitMs(windowMs);
        cpu += cpuNs() - c0;
        wall += t.nsecsElapsed();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
    }
    state.counters["core_share_pct"] = 100.0 * double(cpu) / double(wall);
    state.counters["frames"] = double(chat->motion().framesDrawn()) / double(state.iterations());
}

void BM_SameSecondNothingMoving(benchmark::State &state)
{
    run(state, Motion::None, 1000);
}
void BM_PointsRiseAndTilesSlide(benchmark::State &state)
{
    run(state, Motion::WordAndSlide, 1000);
}
// The slide alone, over the 300 ms it lasts: the whole board is drawn anew
// on every frame.
void BM_SlideOnly(benchmark::State &state)
{
    run(state, Motion::SlideOnly, 300);
}
} // namespace

BENCHMARK(BM_SameSecondNothingMoving)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SlideOnly)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsRiseAndTilesSlide)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

QT_BENCHMARK_MAIN();
