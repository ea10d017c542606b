#!/bin/bash
# A small internet in network namespaces, for the internet play tests:
#
#   "internet"  11.0.0.0/24 on a bridge; the lobby's server at 11.0.0.1
#               runs Mosquitto and coturn with the settings we ship
#   joiner      the caller's own namespace, 192.168.78.2 behind a router
#               (11.0.0.2) doing NAT of the kind asked for
#   host        a namespace at 192.168.79.2 behind a router (11.0.0.3),
#               or with "public" straight on the internet at 11.0.0.5
#
# Every router drops what nobody inside asked for, as home routers do (so an
# early packet from a peer leaves no trace that would spoil a punched hole).
# NAT kinds: "cone" (masquerade: ports kept, a hole can be punched),
# "symmetric" (masquerade random: a new port for every peer, so only a
# relay gets through), "upnp" (cone, with miniupnpd answering UPnP and
# NAT-PMP), "forwarded" (symmetric, with TCP port 7772 forwarded to the
# host by hand). TURN_OPTIONS are added to coturn's command line. The
# caller must be root in a network namespace of its own.
#
#   internet.sh start DIR HOSTNAT JOINNAT   writes DIR/*.pid, DIR/host.pid
#   internet.sh stop DIR
set -euo pipefail
source "$(dirname "$0")/miniupnpd.sh"
cmd=$1 dir=$2
here="$(cd "$(dirname "$0")" && pwd)"
deploy="$here/../../deploy"

if [ "$cmd" = stop ]; then
  for f in "$dir"/*.pid; do
    [ -f "$f" ] && kill "$(cat "$f")" 2>/dev/null || true
    rm -f "$f"
  done
  for _ in $(seq 50); do ip link show lan0 >/dev/null 2>&1 || exit 0; sleep 0.05; done
  exit 0
fi
hostnat=$3 joinnat=$4

# A namespace held by a sleeping process; prints its pid.
holder() {
  unshare -n sleep infinity </dev/null >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 50); do
    [ "$(readlink /proc/$pid/ns/net)" != "$(readlink /proc/$$/ns/net)" ] && break
    sleep 0.02
  done
  echo "$pid" > "$dir/$1.pid"
  nsenter -t "$pid" -n ip link set lo up
  echo "$pid"
}
inns() { local pid=$1; shift; nsenter -t "$pid" -n "$@"; }

# A router: its LAN faces namespace $2 (the caller's when empty) with
# $3.1/24 and $3.2/24; its WAN is $4 on the internet's bridge.
router() {
  local name=$1 lanpid=$2 lan=$3 wan=$4 nat=$5
  local r
  r=$(holder "$name")
  if [ -z "$lanpid" ]; then
    ip link add lan0 type veth peer name rlan0 netns "$r"
    ip addr add "$lan.2/24" dev lan0
    ip link set lan0 up
    ip route replace default via "$lan.1"
  else
    inns "$lanpid" ip link add lan0 type veth peer name rlan0 netns "$r"
    inns "$lanpid" ip addr add "$lan.2/24" dev lan0
    inns "$lanpid" ip link set lan0 up
    inns "$lanpid" ip route replace default via "$lan.1"
  fi
  inns "$r" ip addr add "$lan.1/24" dev rlan0
  inns "$r" ip link set rlan0 up
  inns "$r" ip link add wan0 type veth peer name "w$name" netns "$inet"
  inns "$r" ip addr add "$wan/24" dev wan0
  inns "$r" ip link set wan0 up
  inns "$inet" ip link set "w$name" master br0 up
  inns "$r" sysctl -qw net.ipv4.ip_forward=1
  local masq="masquerade" forward=""
  [ "$nat" = symmetric ] || [ "$nat" = forwarded ] && masq="masquerade random"
  # "forwarded": symmetric, with the game's port forwarded by hand.
  [ "$nat" = forwarded ] && forward="iifname \"wan0\" tcp dport 7772 dnat ip to $lan.2;"
  inns "$r" nft -f - <<NFT
table inet wmfilter {
  chain input {
    type filter hook input priority 0; policy drop;
    iif lo accept; iifname "rlan0" accept; ct state established,related accept;
  }
  chain forward {
    type filter hook forward priority 0; policy drop;
    jump miniupnpd; ct state established,related accept; ct status dnat accept; iifname "rlan0" accept;
  }
  chain miniupnpd { }
}
table inet wmnat {
  chain prerouting { type nat hook prerouting priority -100; policy accept; jump prerouting_miniupnpd; $forward }
  chain postrouting { type nat hook postrouting priority 100; policy accept; jump postrouting_miniupnpd; oifname "wan0" $masq; }
  chain prerouting_miniupnpd { }
  chain postrouting_miniupnpd { }
}
NFT
  [ "$nat" = upnp ] && start_miniupnpd "$r" "$lan" yes
  return 0
}

ip link set lo up
inet=$(holder internet)
inns "$inet" ip link add br0 type bridge
inns "$inet" ip addr add 11.0.0.1/24 dev br0
inns "$inet" ip link set br0 up

# The lobby's server: the broker and the relay as we ship them (started by
# nsenter itself, which becomes the daemon: the pid kept is the daemon's).
sed -e "s|^listener 1883|listener 1883 11.0.0.1|" \
    -e "s|acl_file /etc/mosquitto/wordmire.acl|acl_file $deploy/mosquitto/wordmire.acl|" \
    "$deploy/mosquitto/mosquitto.conf" > "$dir/mosquitto.conf"
nsenter -t "$inet" -n mosquitto -c "$dir/mosquitto.conf" > "$dir/mosquitto.log" 2>&1 &
echo $! > "$dir/mosquitto.pid"
sed -e "s|^#listening-ip=.*|listening-ip=11.0.0.1|" -e "s|^#relay-ip=.*|relay-ip=11.0.0.1|" \
    -e "s|^simple-log|log-file=$dir/turnserver.log|" \
    "$deploy/coturn/turnserver.conf" > "$dir/turnserver.conf"
nsenter -t "$inet" -n turnserver -c "$dir/turnserver.conf" ${TURN_OPTIONS:-} --pidfile "$dir/turnserver.run.pid" > /dev/null 2>&1 &
echo $! > "$dir/turnserver.pid"

router joinrouter "" 192.168.78 11.0.0.2 "$joinnat"

hostns=$(holder host)
if [ "$hostnat" = public ]; then
  inns "$inet" ip link add whost type veth peer name wan0 netns "$hostns"
  inns "$inet" ip link set whost master br0 up
  inns "$hostns" ip addr add 11.0.0.5/24 dev wan0
  inns "$hostns" ip link set wan0 up
else
  router hostrouter "$hostns" 192.168.79 11.0.0.3 "$hostnat"
fi

# Ready once the broker and the relay answer from the internet.
for _ in $(seq 100); do
  inns "$inet" bash -c "exec 3<>/dev/tcp/11.0.0.1/1883" 2>/dev/null && \
    inns "$inet" bash -c "exec 3<>/dev/tcp/11.0.0.1/3478" 2>/dev/null && exit 0
  sleep 0.05
done
echo "the lobby's server did not start:" >&2
cat "$dir/mosquitto.log" >&2
exit 1
