#!/usr/bin/env bash
# Idle cost and start-up of the game against a bare Qt main window, measured in
# the same run. Needs a built tree (bash scripts/build).
#
#   bash bench/idle.sh [seconds]
#
# Idle: CPU time (from /proc/PID/schedstat, in ns) that a hosting copy waiting
# for input uses over the given time (10 s by default), next to the bare window
# and to the bare window with a 1 ms timer. Start-up: time from exec to the first
# event-loop pass, and the resident memory then, median of 7 runs each.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-10}
root=$(pwd)
b=$root/build/bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu_ns() { awk '{print $1}' "/proc/$1/schedstat"; }

idle() { # command...
  local dir; dir=$(mktemp -d -p "$work")
  (cd "$dir" && TMPDIR="$dir" exec "$@" >/dev/null 2>&1) &
  local pid=$!
  sleep 2 # let it settle: hosting, login, first paint
  local a; a=$(cpu_ns $pid)
  sleep "$secs"
  local z; z=$(cpu_ns $pid)
  kill $pid; wait $pid 2>/dev/null || true
  echo $((z - a))
}

startup() { # command... -> "median_ms median_rss_kb"
  local t=() r=()
  for i in 1 2 3 4 5 6 7; do
    local dir; dir=$(mktemp -d -p "$work")
    local s; s=$(date +%s%N)
    local out; out=$(cd "$dir" && TMPDIR="$dir" "$@" 2>/dev/null | grep ready_ns)
    t+=($(( ($(echo "$out" | awk '{print $2}') - s) / 1000 )))
    r+=($(echo "$out" | awk '{print $4}'))
  done
  local tm; tm=$(printf '%s\n' "${t[@]}" | sort -n | sed -n 4p)
  local rm; rm=$(printf '%s\n' "${r[@]}" | sort -n | sed -n 4p)
  echo "$tm $rm"
}

game=$(idle "$root/build/src/app/wordmire")
bare=$(idle $b/bare_app)
timer=$(idle $b/bare_app_timer)
echo "idle CPU over ${secs}s: game ${game} ns, bare window ${bare} ns, bare window + 1 ms timer ${timer} ns"
awk -v g="$game" -v b="$bare" -v t="$timer" 'BEGIN { if (b < 1) b = 1; printf "idle ratio: game/bare = %.2f, 1ms-timer/bare = %.2f\n", g / b, t / b }'

read -r gt gr <<<"$(startup $b/wordmire_probe)"
read -r bt br <<<"$(startup $b/bare_app_probe)"
read -r tt tr <<<"$(startup $b/bare_app_text_probe)"
echo "start-up to first event-loop pass: game ${gt} us, bare ${bt} us, bare with text ${tt} us; RSS: game ${gr} kB, bare ${br} kB, bare with text ${tr} kB"
awk -v a="$gt" -v b="$bt" -v c="$gr" -v d="$br" -v t="$tt" -v r="$tr" \
  'BEGIN { printf "start-up ratio: time %.2f (%.2f against the window with text), RSS %.2f (%.2f)\n", a / b, a / t, c / d, c / r }'
