#!/bin/bash
# A home router for the port mapping tests: a network namespace of its own
# with a LAN side (192.168.77.1, facing the caller's namespace as lan0 with
# 192.168.77.2) and an internet side (11.22.33.44 on wan0), running
# miniupnpd with UPnP and NAT-PMP. The caller must be in a network namespace
# of its own too (nothing here touches the machine's real network), and root.
#
#   router.sh start DIR [upnp=yes|no|fake]   writes DIR/holder.pid, DIR/miniupnpd.pid
#   router.sh stop DIR
set -euo pipefail
source "$(dirname "$0")/miniupnpd.sh"
cmd=$1 dir=$2 upnp=${3:-yes}

if [ "$cmd" = stop ]; then
  for f in miniupnpd holder; do
    [ -f "$dir/$f.pid" ] && kill "$(cat "$dir/$f.pid")" 2>/dev/null || true
    rm -f "$dir/$f.pid"
  done
  # The veth pair goes with the router's namespace; wait until it has.
  for _ in $(seq 50); do ip link show lan0 >/dev/null 2>&1 || exit 0; sleep 0.05; done
  exit 0
fi

ip link set lo up
unshare -n sleep infinity &
holder=$!
echo $holder > "$dir/holder.pid"
for _ in $(seq 50); do
  [ "$(readlink /proc/$holder/ns/net)" != "$(readlink /proc/$$/ns/net)" ] && break
  sleep 0.02
done
ip link add lan0 type veth peer name rlan0 netns "$holder"
ip addr add 192.168.77.2/24 dev lan0
ip link set lan0 up
ip route replace default via 192.168.77.1

nsenter -t "$holder" -n sh -e <<'NS'
ip link set lo up
ip addr add 192.168.77.1/24 dev rlan0
ip link set rlan0 up
ip link add wan0 type veth peer name wan1
ip addr add 11.22.33.44/24 dev wan0
ip link set wan1 up
ip link set wan0 up
nft -f - <<NFT
table inet wmfilter {
  chain forward { type filter hook forward priority 0; policy accept; jump miniupnpd; }
  chain miniupnpd { }
}
table inet wmnat {
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
NFT
NS

# "fake": the network only; the test answers as the router itself.
[ "$upnp" = fake ] && exit 0

start_miniupnpd "$holder" 192.168.77 "$upnp"
