// CheckWord against two baselines over the same list: a bare pread() binary
// search on the same file, and std::lower_bound over the list in memory.

#include "tdictn.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<TDictn> spell;
    std::vector<std::string> records; // the 14 word characters of each record
    std::vector<std::string> queries; // upper case, padded to 14
    std::vector<QByteArray> rawQueries;
    int fd = -1;

    Fixture()
    {
        spell = std::make_unique<TDictn>(dir.path());
        const QByteArray list = TDictn::builtInList();
        for (qsizetype i = 0; i < list.size(); i += 15)
            records.emplace_back(list.constData() + i + 1, 14);
        // Half words from the list, half near misses, in a fixed random order.
        std::mt19937 rng(7);
        for (int i = 0; i < 4096; ++i) {
            std::string w = records[rng() % records.size()];
            if (i % 2) {
                w[0] = char('A' + rng() % 26);
            }
            queries.push_back(w);
            QByteArray q(w.c_str());
            rawQueries.push_back(q.trimmed());
        }
        fd = ::open(QFile::encodeName(dir.filePath("English")).constData(), O_RDONLY);
    }
    ~Fixture() { ::close(fd); }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_CheckWord(benchmark::State &state)
{
    Fixture &f = fixture();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.spell->CheckWord(f.rawQueries[i++ & 4095]));
    }
}

bool preadSearch(int fd, int n, const std::string &key)
{
    char rec[15];
    int lo = 0, hi = n - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (::pread(fd, rec, 15, off_t(mid) * 15) != 15)
            return false;
        const int c = std::memcmp(rec + 1, key.data(), 14);
        if (c == 0)
            return true;
        if (c < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return false;
}

void BM_PreadBaseline(benchmark::State &state)
{
    Fixture &f = fixture();
    const int n = int(f.records.size());
    size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(preadSearch(f.fd, n, f.queries[i++ & 4095]));
}

void BM_InMemoryLowerBound(benchmark::State &state)
{
    Fixture &f = fixture();
    size_t i = 0;
    for (auto _ : state) {
        const std::string &q = f.queries[i++ & 4095];
        auto it = std::lower_bound(f.records.begin(), f.records.end(), q);
        benchmark::DoNotOptimize(it != f.records.end() && *it == q);
    }
}

} // namespace

BENCHMARK(BM_CheckWord);
BENCHMARK(BM_PreadBaseline);
BENCHMARK(BM_InMemoryLowerBound);
BENCHMARK_MAIN();
