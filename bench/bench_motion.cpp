// What the window's motion costs: the share of one core the whole program
// uses while a made word's points rise and the tiles slide (one second from
// the word), against the same window over the same second with nothing
// moving; and the slide alone over its own 300 ms. Goal: under 5% of one
// core while it runs.
//
// Each runs with the window at its designed size (the baseline) and
// enlarged, where the game panel is drawn scaled: 1280 x 960 and
// 1920 x 1080. Tracing a word (seven picks, each drawn) is measured the same
// way. The counters give the time a frame (or a pick) costs.

#include "smokeload.h"
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

enum class Motion { None, WordAndSlide, SlideOnly, Trace };

const QSize kSizes[] = {{790, 580}, {1280, 960}, {1920, 1080}};

void run(benchmark::State &state, Motion motion, int windowMs)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    FakeHost host;
    auto chat = joinWindow<Tchat>(host);
    chat->resize(kSizes[state.range(0)]);
    feedWindow(host, *chat, {"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann+0", "CMD_startgame+Ann+500+60+f+1+"});
    qint64 cpu = 0, wall = 0;
    const int framesBefore = chat->motion().framesDrawn();
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
        if (motion == Motion::Trace) {
            // Q U I Z A B C along the top row, one pick a frame apart.
            for (int x = 0; x < 7; ++x) {
                chat->model().pick(QPoint(x, 0));
                waitMs(16);
            }
        } else {
            waitMs(windowMs);
        }
        cpu += cpuNs() - c0;
        wall += t.nsecsElapsed();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (motion == Motion::Trace)
            chat->model().clearPicks();
    }
    state.counters["core_share_pct"] = 100.0 * double(cpu) / double(wall);
    const double frames = motion == Motion::Trace ? 7.0 * double(state.iterations())
                                                  : double(chat->motion().framesDrawn() - framesBefore);
    state.counters["frames"] = frames / double(state.iterations());
    if (motion != Motion::None && frames > 0)
        state.counters["cpu_ms_per_frame"] = double(cpu) / 1e6 / frames;
    state.SetLabel(QStringLiteral("%1x%2")
                           .arg(kSizes[state.range(0)].width())
                           .arg(kSizes[state.range(0)].height())
                           .toStdString());
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
// A word traced pick by pick: each pick redraws its cell, the line through
// the picks and the strip, and the preview beside it.
void BM_TraceAWord(benchmark::State &state)
{
    run(state, Motion::Trace, 0);
}
} // namespace

// Argument: 0 the designed size (the baseline), 1 1280 x 960, 2 full HD.
BENCHMARK(BM_SameSecondNothingMoving)
        ->DenseRange(0, 2)
        ->UseManualTime()
        ->Iterations(repeats(5))
        ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SlideOnly)->DenseRange(0, 2)->UseManualTime()->Iterations(repeats(10))->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PointsRiseAndTilesSlide)
        ->DenseRange(0, 2)
        ->UseManualTime()
        ->Iterations(repeats(5))
        ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TraceAWord)->DenseRange(0, 2)->UseManualTime()->Iterations(repeats(10))->Unit(benchmark::kMillisecond);

QT_BENCHMARK_MAIN();
