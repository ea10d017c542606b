#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs one of them for a while.
#
#   bash tools/fuzz.sh TARGET SECONDS      (TARGET: lzrw1, lzhuf, host, host_direct, client, lobby,
#                                          router, internetlobby, settings, tally)
#
# New inputs the fuzzer finds go to build-fuzz/corpus/TARGET; copy the ones
# worth keeping into tests/fuzz/corpus/TARGET so that ctest replays them.
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?target}
seconds=${2:-60}
bash scripts/setup
if ! command -v clang++ >/dev/null || ! dpkg -s libclang-rt-dev >/dev/null 2>&1; then
  apt-get install -y -qq clang libclang-rt-dev
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DWORDMIRE_FUZZ=ON -DWORDMIRE_SANITIZE=ON \
  -DWORDMIRE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target "fuzz_$target"
mkdir -p "build-fuzz/corpus/$target"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
cd build-fuzz
# Absolute corpus paths: a target may change its working directory.
"./tools/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
  "$PWD/corpus/$target" "$(cd ../tests/fuzz/corpus/${target%_direct} && pwd)"
