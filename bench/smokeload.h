#pragma once
// A benchmark's fixed number of repeats, one when BENCH_SMOKE is set: the
// smoke run (bench/smoke.sh) only checks that every benchmark still runs.

#include <QtGlobal>

inline int repeats(int n)
{
    return qEnvironmentVariableIsSet("BENCH_SMOKE") ? 1 : n;
}
