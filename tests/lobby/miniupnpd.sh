# Sourced by the router scripts: starts miniupnpd in the router's namespace
# (holder pid $1) for the LAN $2.0/24, with UPnP on or off ($3), ready once
# it answers NAT-PMP. Its files go to $dir.
start_miniupnpd() {
  local pid=$1 lan=$2 upnp=$3
  cat > "$dir/miniupnpd.conf" <<CONF
ext_ifname=wan0
listening_ip=rlan0
http_port=0
enable_upnp=$upnp
enable_natpmp=yes
secure_mode=no
system_uptime=yes
uuid=3d3cec3a-8cf0-11e0-98ee-001a6bd2d07d
upnp_table_name=wmfilter
upnp_nat_table_name=wmnat
upnp_forward_chain=miniupnpd
upnp_nat_chain=prerouting_miniupnpd
upnp_nat_postrouting_chain=postrouting_miniupnpd
allow 1024-65535 $lan.0/24 1024-65535
deny 0-65535 0.0.0.0/0 0-65535
CONF
  nsenter -t "$pid" -n miniupnpd -d -f "$dir/miniupnpd.conf" -P "$dir/miniupnpd.run.pid" \
    > "$dir/miniupnpd.log" 2>&1 &
  echo $! > "$dir/miniupnpd.pid"
  for _ in $(seq 100); do
    grep -q "Listening for NAT-PMP" "$dir/miniupnpd.log" 2>/dev/null && return 0
    sleep 0.03
  done
  echo "miniupnpd did not start:" >&2
  cat "$dir/miniupnpd.log" >&2
  return 1
}
