#!/usr/bin/env bash
# Runs every benchmark once with a tiny load, so none rots unnoticed: each
# must start, measure its baseline and its subject, and end well. The
# figures mean nothing at this size. Run from the source folder after a
# full build (CI does); the ones that need root for a network namespace
# (port 7772, the small internet) run only as root.
set -euo pipefail
cd "$(dirname "$0")/.."
b=build/bench
export QT_QPA_PLATFORM=offscreen BENCH_SMOKE=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tiny=(--benchmark_min_time=0.01)
run() {
  local name=$1
  shift
  local start=$SECONDS
  if ! (cd "$work" && HOME="$work" TMPDIR="$work" "$@") >"$work/$name.log" 2>&1; then
    echo "bench smoke: $name failed:" >&2
    tail -20 "$work/$name.log" >&2
    exit 1
  fi
  echo "bench smoke: $name ran ($((SECONDS - start)) s)"
}
root=$PWD
run dictionary "$root/$b/bench_dictionary" "${tiny[@]}"
run compress "$root/$b/bench_compress" "${tiny[@]}"
run klot "$root/$b/bench_klot" "${tiny[@]}"
run chat "$root/$b/bench_chat" "${tiny[@]}"
run pick "$root/$b/bench_pick" "${tiny[@]}"
run motion "$root/$b/bench_motion" "${tiny[@]}"
run games "$root/$b/bench_games" 2
run strengths "$root/$b/bench_games" strengths 2
run room "$root/$b/bench_room" 1
run lobby "$root/$b/bench_lobby" 1 1
run idle bash "$root/bench/idle.sh" 1
if [ "$(id -u)" -eq 0 ]; then
  run hostcopy unshare -n bash -c "ip link set lo up; '$root/$b/bench_hostcopy' 1 1"
  GAMES="0 10" run relay bash "$root/bench/relay.sh" 1 5
fi
