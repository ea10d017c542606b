#!/bin/bash
# The lobby's relay, measured on a small internet of network namespaces
# (tests/lobby/internet.sh; needs root, mosquitto and coturn):
#  1. a chat line's round trip to a hosting copy through the TURN relay,
#     against the same line straight over TCP (the host's port forwarded by
#     hand), interleaved in one run (bench_relay);
#  2. coturn's CPU and memory relaying games: 8 relayed players a game
#     (nine users, the host's own window is local), each sending 20
#     messages a second of 100 bytes that come back, for 0, 10 and 100
#     games, in the same run (turnutils_uclient against turnutils_peer).
#
#   bash bench/relay.sh [seconds] [samples]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$here/../build"
seconds=${1:-20} samples=${2:-200}
if [ "${RELAY_BENCH_INSIDE:-}" != 1 ]; then
  RELAY_BENCH_INSIDE=1 exec unshare -n bash "$0" "$@"
fi
ulimit -n "$(ulimit -Hn)"
dir=$(mktemp -d)
# One user name for every load client: the per-user quota is lifted for
# the measurement (the shipped 12 holds per copy, each its own user).
export TURN_OPTIONS="--user-quota=0 --total-quota=0"
trap 'kill $host 2>/dev/null || true; bash "$here/../tests/lobby/internet.sh" stop "$dir"; rm -rf "$dir"' EXIT
bash "$here/../tests/lobby/internet.sh" start "$dir" forwarded symmetric
# From the temporary folder: the host writes its word list where it runs.
(cd "$dir" && exec nsenter -t "$(cat "$dir/host.pid")" -n "$build/tests/lobby/internethost" 11.0.0.1:1883 0 \
  > "$dir/host.log" 2>&1) &
host=$!
echo "== a chat line's round trip, $samples each, interleaved"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_relay" 11.0.0.1:1883 11.0.0.3 "$samples"
kill $host

echo "== coturn relaying games, $seconds s each"
inet=$(cat "$dir/internet.pid")
turn=$(cat "$dir/turnserver.run.pid")
# The load's players and their peer on the internet itself: what the relay
# does is the same from behind any router.
nsenter -t "$inet" -n ip addr add 11.0.0.9/24 dev br0
nsenter -t "$inet" -n ip addr add 11.0.0.8/24 dev br0
nsenter -t "$inet" -n turnutils_peer -L 11.0.0.9 > /dev/null 2>&1 &
peer=$!
sleep 0.5
ticks() { awk '{print $14 + $15}' "/proc/$turn/stat"; }
rss() { awk '/^VmRSS/ {print $2}' "/proc/$turn/status"; }
hz=$(getconf CLK_TCK)
for games in ${GAMES:-0 10 100}; do
  sessions=$((games * 8))
  before=$(ticks)
  if [ "$sessions" -gt 0 ]; then
    nsenter -t "$inet" -n turnutils_uclient -L 11.0.0.8 -m "$sessions" -n $((seconds * 20)) -z 50 -l 100 -c -X \
      -W wordmire-relay -u bench -e 11.0.0.9 -r 3480 11.0.0.1 > "$dir/uclient.log" 2>&1 || true
    lost=$(grep -o "Total lost packets [0-9]* ([0-9.]*%)" "$dir/uclient.log" | tail -1)
  else
    sleep "$seconds"
    lost="-"
  fi
  after=$(ticks)
  awk -v g="$games" -v s="$sessions" -v t=$((after - before)) -v hz="$hz" -v secs="$seconds" -v rss="$(rss)" -v lost="$lost" \
    'BEGIN { printf "%3d games (%3d relayed players): coturn %.1f%% of a core, %.1f MB resident; %s\n", g, s, 100 * t / hz / secs, rss / 1024, lost }'
done
kill $peer
