#!/usr/bin/env bash
# Idle cost and start-up of the game against a bare Qt main window, measured in
# the same run. Needs a built tree (bash scripts/build).
#
#   bash bench/idle.sh [seconds]
#
# Idle: CPU time (from /proc/PID/schedstat, in ns) that a hosting copy waiting
# for input uses over the given time (10 s by default), next to the bare window
# and to the bare window with a 1 ms timer. Start-up: time from exec to the first
# event-loop pass, and the resident memory then, median of 15 runs each, the
# three programs taking turns.
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

# One start-up of a program: "microseconds rss_kb".
startup_once() { # command
  local dir; dir=$(mktemp -d -p "$work")
  local s; s=$(date +%s%N)
  local out; out=$(cd "$dir" && TMPDIR="$dir" "$1" 2>/dev/null | grep ready_ns)
  echo "$(( ($(echo "$out" | awk '{print $2}') - s) / 1000 )) $(echo "$out" | awk '{print $4}')"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# The programs take turns, run after run, so a slow spell of the machine
# weighs on all of them alike. Prints "median_us median_rss_kb" for each.
startup() { # command...
  local runs=15 i p
  local -a t r
  for i in $(seq $runs); do
    for p in "$@"; do
      read -r us kb <<<"$(startup_once "$p")"
      t+=("$p $us"); r+=("$p $kb")
    done
  done
  for p in "$@"; do
    echo "$(printf '%s\n' "${t[@]}" | awk -v p="$p" '$1 == p {print $2}' | median)" \
         "$(printf '%s\n' "${r[@]}" | awk -v p="$p" '$1 == p {print $2}' | median)"
  done
}

game=$(idle "$root/build/src/app/wordmire")
bare=$(idle $b/bare_app)
timer=$(idle $b/bare_app_timer)
echo "idle CPU over ${secs}s: game ${game} ns, bare window ${bare} ns, bare window + 1 ms timer ${timer} ns"
# A bare window that spent no measurable time makes a ratio meaningless.
awk -v g="$game" -v b="$bare" -v t="$timer" 'BEGIN {
  if (b < 1000000) printf "idle: the bare window spent under 1 ms; game %.2f ms, 1 ms timer %.2f ms\n", g / 1e6, t / 1e6
  else printf "idle ratio: game/bare = %.2f, 1ms-timer/bare = %.2f\n", g / b, t / b }'

{ read -r gt gr; read -r bt br; read -r tt tr; } <<<"$(startup $b/wordmire_probe $b/bare_app_probe $b/bare_app_text_probe)"
echo "start-up to first event-loop pass: game ${gt} us, bare ${bt} us, bare with text ${tt} us; RSS: game ${gr} kB, bare ${br} kB, bare with text ${tr} kB"
awk -v a="$gt" -v b="$bt" -v c="$gr" -v d="$br" -v t="$tt" -v r="$tr" \
  'BEGIN { printf "start-up ratio: time %.2f (%.2f against the window with text), RSS %.2f (%.2f)\n", a / b, a / t, c / d, c / r }'
