// The computer opponent's search on random boards dealt from the game's own
// letter supply. The worst case is an attempt in which no word can be traced,
// so that every word of 4 to 7 letters is tried: BM_KlotAllWordsTried does
// exactly that (the per-word search over the whole list, no early stop), and
// its time per attempt divided by 10 ms is its share of the host's tick. BM_KlotAttempt is a
// real attempt as the host makes it, for comparison. BM_SolveBoard lists every
// word of the whole built-in list on the same boards, as the best-word line and
// the strong computer opponent do, against BM_SolveBoardByList, the same
// search looking each path up in the sorted list by binary search (the old
// way; goal: a third of its time or less). BM_BuildTree is the tree's one-off
// cost.

#include "klotwords.h"
#include "listsearch.h"
#include "rules.h"
#include "solver.h"
#include "tdictn.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

std::vector<rules::Board> boards()
{
    QRandomGenerator rng(99);
    std::vector<rules::Board> out(64);
    for (auto &b : out)
        for (auto &col : b)
            for (int &code : col)
                code = rules::drawLetter(rng);
    return out;
}

void BM_KlotAllWordsTried(benchmark::State &state)
{
    const auto bs = boards();
    const rules::KlotWords words(klotWords());
    size_t i = 0;
    int found = 0;
    for (auto _ : state) {
        const rules::KlotSearch search(bs[i++ % bs.size()]);
        for (size_t k = 1; k < words.words.size(); ++k) {
            const auto &w = words.words[k];
            if (w.len >= 4 && search.trace(w))
                ++found;
        }
    }
    benchmark::DoNotOptimize(found);
}

void BM_KlotAttempt(benchmark::State &state)
{
    const auto bs = boards();
    const rules::KlotWords words(klotWords());
    QRandomGenerator rng(5);
    size_t i = 0;
    for (auto _ : state) {
        const rules::Board &b = bs[i++ % bs.size()];
        benchmark::DoNotOptimize(rules::klotChoose(b, words, int(rng.bounded(0, int(words.words.size()) - 1))));
    }
}

void BM_SolveBoard(benchmark::State &state)
{
    const auto bs = boards();
    const game::WordTree &tree = TDictn::builtInTree();
    size_t i = 0;
    size_t words = 0;
    for (auto _ : state)
        words += game::solveBoard(bs[i++ % bs.size()], tree).size();
    state.counters["words_per_board"] = benchmark::Counter(double(words), benchmark::Counter::kAvgIterations);
}

// The baseline: the same boards searched the way the solver used to.
void BM_SolveBoardByList(benchmark::State &state)
{
    const auto bs = boards();
    const QByteArray bytes = TDictn::builtInList();
    const game::WordRecords list{bytes, TDictn::RecordSize};
    size_t i = 0;
    size_t words = 0;
    for (auto _ : state) {
        ListSearch search{bs[i++ % bs.size()], list, {}, {}};
        search.run();
        words += search.best.size();
    }
    state.counters["words_per_board"] = benchmark::Counter(double(words), benchmark::Counter::kAvgIterations);
}

// Building the letter tree, done once in a program's life.
void BM_BuildTree(benchmark::State &state)
{
    const QByteArray bytes = TDictn::builtInList();
    for (auto _ : state)
        benchmark::DoNotOptimize(game::WordTree({bytes, TDictn::RecordSize}).nodes().size());
    state.counters["nodes"] = double(TDictn::builtInTree().nodes().size());
}

} // namespace

BENCHMARK(BM_SolveBoard)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SolveBoardByList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KlotAllWordsTried)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_KlotAttempt)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
