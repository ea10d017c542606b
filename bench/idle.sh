#!/usr/bin/env bash
# Idle cost and start-up of the game against a bare Qt main window, measured in
# the same run. Needs a built tree (bash scripts/build).
#
#   bash bench/idle.sh [seconds]
#
# Idle: CPU time (from /proc/PID/task/*/schedstat, every thread summed, in ns)
# that a hosting copy waiting for input uses over the given time (10 s by
# default), next to the bare window and to the bare window with a 1 ms timer.
# Start-up, whole-process: from exec to the first event-loop pass, and to the
# first window drawn, with the resident memory then; exit: from closing the
# windows (as the user does) to the process's end. Median of 15 runs each, the
# programs taking turns.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-10}
root=$(pwd)
b=$root/build/bench
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {print s + 0}'; }

# A copy of the program in a folder of its own (a hard link where the file
# system allows): the game keeps its settings and tally beside the program,
# so they land there, never in the build tree, and no run starts from what
# another left. Prints the copy's path.
place() { # program dir
  local copy; copy="$2/$(basename "$1")"
  ln "$1" "$copy" 2>/dev/null || cp "$1" "$copy"
  echo "$copy"
}

idle() { # command...
  local dir; dir=$(mktemp -d -p "$work")
  local prog; prog=$(place "$1" "$dir"); shift
  (cd "$dir" && HOME="$dir" TMPDIR="$dir" exec "$prog" "$@" >/dev/null 2>&1) &
  local pid=$!
  sleep 2 # let it settle: hosting, login, first paint
  local a; a=$(cpu_ns $pid)
  sleep "$secs"
  local z; z=$(cpu_ns $pid)
  kill $pid; wait $pid 2>/dev/null || true
  echo $((z - a))
}

# One start-up of a program: "ready_us drawn_us exit_us rss_kb".
startup_once() { # command
  local dir; dir=$(mktemp -d -p "$work")
  local prog; prog=$(place "$1" "$dir")
  local s; s=$(date +%s%N)
  local out; out=$(cd "$dir" && HOME="$dir" TMPDIR="$dir" "$prog" 2>/dev/null | grep -E 'ready_ns|quit_ns')
  local e; e=$(date +%s%N)
  rm -rf "$dir"
  local ready drawn rss quit
  read -r _ ready _ drawn _ rss <<<"$(echo "$out" | grep ready_ns)"
  quit=$(echo "$out" | awk '/quit_ns/ {print $2}')
  echo "$(( (ready - s) / 1000 )) $(( (drawn - s) / 1000 )) $(( (e - quit) / 1000 )) $rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# The programs take turns, run after run, so a slow spell of the machine
# weighs on all of them alike. Prints "ready_us drawn_us exit_us rss_kb"
# (medians) for each.
startup() { # command...
  local runs=15 i p k
  local -a rows
  for i in $(seq $runs); do
    for p in "$@"; do
      rows+=("$p $(startup_once "$p")")
    done
  done
  for p in "$@"; do
    local line=""
    for k in 2 3 4 5; do
      line+="$(printf '%s\n' "${rows[@]}" | awk -v p="$p" -v k=$k '$1 == p {print $k}' | median) "
    done
    echo "$line"
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

{ read -r gr gd gx gm; read -r br bd bx bm; read -r tr td tx tm; } <<<"$(startup $b/wordmire_probe $b/bare_app_probe $b/bare_app_text_probe)"
echo "first event-loop pass: game ${gr} us, bare ${br} us, bare with text ${tr} us"
echo "launch to a drawn window: game ${gd} us, bare ${bd} us, bare with text ${td} us"
echo "exit (windows closed to process end): game ${gx} us, bare ${bx} us, bare with text ${tx} us"
echo "RSS once drawn: game ${gm} kB, bare ${bm} kB, bare with text ${tm} kB"
awk -v gd="$gd" -v td="$td" -v gx="$gx" -v bx="$bx" -v tx="$tx" -v gm="$gm" -v tm="$tm" -v gr="$gr" -v tr="$tr" \
  'BEGIN { printf "ratios against the window with text: drawn %.2f (goal 1.3), first pass %.2f, exit %.2f, RSS %.2f\n", gd / td, gr / tr, gx / tx, gm / tm
          printf "exit against the bare window: %.2f (goal 2)\n", gx / bx }'
