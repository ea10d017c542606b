#pragma once
// main() for benchmarks that need a Qt application (windows offscreen).

#include <QApplication>
#include <benchmark/benchmark.h>

#define QT_BENCHMARK_MAIN()                                                                                            \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        benchmark::Initialize(&argc, argv);                                                                            \
        benchmark::RunSpecifiedBenchmarks();                                                                           \
        return 0;                                                                                                      \
    }
