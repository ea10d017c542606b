// The two coders against zlib at level 1 (through Qt) on 10 MB of text, coded
// in 32 KiB blocks. Compare the bytes_per_second of each pair.

#include "lzhuf.h"
#include "lzrw1kh.h"
#include "testdata.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t Block = 32768;

// Text with a realistic mix of words, numbers and line structure.
const QByteArray &input()
{
    static const QByteArray data = [] {
        QByteArray d;
        QRandomGenerator rng(11);
        static const char *words[] = {"game", "word", "tile", "board", "score", "player", "turn", "the", "and", "with",
                "from", "letter", "bonus", "double", "triple", "shuffle", "winner", "round", "team", "Klot", "chat"};
        while (d.size() < 10 * 1000 * 1000) {
            d += words[rng.bounded(21)];
            d += (rng.bounded(12) == 0) ? "\n" : " ";
            if (rng.bounded(30) == 0)
                d += QByteArray::number(rng.bounded(100000)) + ";";
        }
        d.truncate(10 * 1000 * 1000);
        return d;
    }();
    return data;
}

struct Coded {
    std::vector<std::vector<std::uint8_t>> lzrw;
    std::vector<QByteArray> zlib;
    std::vector<std::vector<std::uint8_t>> lzh;
};

std::vector<std::uint8_t> lzhEncode(const char *p, std::size_t n)
{
    std::vector<std::uint8_t> out;
    std::size_t pos = 0;
    lzhuf::TLZH coder;
    coder.encode(
            std::int64_t(n),
            [&](std::uint8_t *buf, std::size_t max) {
                const std::size_t k = std::min(max, n - pos);
                std::memcpy(buf, p + pos, k);
                pos += k;
                return k;
            },
            [&](const std::uint8_t *buf, std::size_t k) {
                out.insert(out.end(), buf, buf + k);
                return true;
            });
    return out;
}

const Coded &coded()
{
    static const Coded c = [] {
        Coded c;
        const QByteArray &in = input();
        std::vector<std::uint8_t> src(lzrw1kh::BufferSize), dst(lzrw1kh::BufferSize);
        lzrw1kh::TLZR coder;
        for (qsizetype off = 0; off < in.size(); off += Block) {
            const std::size_t n = std::min<std::size_t>(Block, size_t(in.size() - off));
            std::memcpy(src.data(), in.constData() + off, n);
            src[n] = src[n + 1] = 0;
            const std::size_t len = coder.compress(src.data(), n, dst.data());
            c.lzrw.emplace_back(dst.begin(), dst.begin() + long(len));
            c.zlib.push_back(qCompress(reinterpret_cast<const uchar *>(in.constData() + off), qsizetype(n), 1));
            c.lzh.push_back(lzhEncode(in.constData() + off, n));
        }
        return c;
    }();
    return c;
}

template <typename V> std::size_t total(const std::vector<V> &v)
{
    std::size_t t = 0;
    for (const auto &x : v)
        t += std::size_t(x.size());
    return t;
}

void BM_Lzrw1Compress(benchmark::State &state)
{
    const QByteArray &in = input();
    std::vector<std::uint8_t> src(lzrw1kh::BufferSize), dst(lzrw1kh::BufferSize);
    lzrw1kh::TLZR coder;
    for (auto _ : state) {
        for (qsizetype off = 0; off < in.size(); off += Block) {
            const std::size_t n = std::min<std::size_t>(Block, size_t(in.size() - off));
            std::memcpy(src.data(), in.constData() + off, n);
            src[n] = src[n + 1] = 0;
            benchmark::DoNotOptimize(coder.compress(src.data(), n, dst.data()));
        }
    }
    state.SetBytesProcessed(state.iterations() * in.size());
    state.counters["coded_bytes"] = double(total(coded().lzrw));
}

void BM_ZlibCompress(benchmark::State &state)
{
    const QByteArray &in = input();
    for (auto _ : state) {
        for (qsizetype off = 0; off < in.size(); off += Block) {
            const qsizetype n = std::min<qsizetype>(Block, in.size() - off);
            benchmark::DoNotOptimize(qCompress(reinterpret_cast<const uchar *>(in.constData() + off), n, 1));
        }
    }
    state.SetBytesProcessed(state.iterations() * in.size());
    state.counters["coded_bytes"] = double(total(coded().zlib));
}

void BM_LzhCompress(benchmark::State &state)
{
    const QByteArray &in = input();
    for (auto _ : state) {
        for (qsizetype off = 0; off < in.size(); off += Block) {
            const std::size_t n = std::min<std::size_t>(Block, size_t(in.size() - off));
            benchmark::DoNotOptimize(lzhEncode(in.constData() + off, n).size());
        }
    }
    state.SetBytesProcessed(state.iterations() * in.size());
    state.counters["coded_bytes"] = double(total(coded().lzh));
}

void BM_Lzrw1Decompress(benchmark::State &state)
{
    const Coded &c = coded();
    std::vector<std::uint8_t> out(lzrw1kh::MaxSegment);
    for (auto _ : state) {
        for (const auto &b : c.lzrw)
            benchmark::DoNotOptimize(lzrw1kh::decompress(b.data(), b.size(), out.data()));
    }
    state.SetBytesProcessed(state.iterations() * input().size());
}

void BM_ZlibDecompress(benchmark::State &state)
{
    const Coded &c = coded();
    for (auto _ : state) {
        for (const auto &b : c.zlib)
            benchmark::DoNotOptimize(qUncompress(b).size());
    }
    state.SetBytesProcessed(state.iterations() * input().size());
}

void BM_LzhDecompress(benchmark::State &state)
{
    const Coded &c = coded();
    for (auto _ : state) {
        for (std::size_t i = 0; i < c.lzh.size(); ++i) {
            const auto &b = c.lzh[i];
            const std::int64_t size = std::min<std::int64_t>(Block, input().size() - std::int64_t(i * Block));
            std::size_t pos = 0;
            std::size_t produced = 0;
            lzhuf::TLZH coder;
            coder.decode(
                    size,
                    [&](std::uint8_t *buf, std::size_t max) {
                        const std::size_t k = std::min(max, b.size() - pos);
                        std::memcpy(buf, b.data() + pos, k);
                        pos += k;
                        return k;
                    },
                    [&](const std::uint8_t *, std::size_t k) {
                        produced += k;
                        return true;
                    });
            benchmark::DoNotOptimize(produced);
        }
    }
    state.SetBytesProcessed(state.iterations() * input().size());
}

} // namespace

BENCHMARK(BM_ZlibCompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzrw1Compress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhCompress)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_ZlibDecompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lzrw1Decompress)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhDecompress)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
