#!/bin/sh
# Devices behind a router, inside scripts/sandbox:
#
#   scripts/sandbox sh tests/routed_sandbox.sh SIM [SIM-OPTIONS...] -- CMD [ARGS...]
#
# Adds two network namespaces to the sandbox's: a router, reached over v4
# (10.98.0.1/24) and v5 (10.98.0.2/24), that forwards directed broadcasts, and
# behind it a far network, v6 (10.99.0.1/24) and v7 (10.99.0.2/24), where the
# simulator runs as devices at 10.99.0.2 answering to the sender.  CMD runs in
# the sandbox's namespace with a route to 10.99.0.0/24 over the router; a
# broadcast to 255.255.255.255 stops at the router.
set -eu
sim=$1
shift
simargs=""
while [ "$#" -gt 0 ] && [ "$1" != -- ]; do
    simargs="$simargs $1"
    shift
done
[ "$#" -gt 0 ] && shift
if ! ip -o link show v0 >/dev/null 2>&1 || ip -o link show v4 >/dev/null 2>&1; then
    echo "routed_sandbox: run it once, inside scripts/sandbox" >&2
    exit 2
fi

here=$(readlink /proc/self/ns/net)
unshare -n sleep 600 &
router=$!
unshare -n sleep 600 &
far=$!
simpid=""
cleanup() {
    [ -n "$simpid" ] && kill "$simpid" 2>/dev/null
    kill "$router" "$far" 2>/dev/null
    wait 2>/dev/null || true
}
trap cleanup EXIT
# The sleepers have their own namespaces once their links say so.
for pid in $router $far; do
    i=0
    while [ "$(readlink /proc/$pid/ns/net 2>/dev/null)" = "$here" ] || [ -z "$(readlink /proc/$pid/ns/net 2>/dev/null)" ]; do
        i=$((i + 1))
        [ "$i" -gt 100 ] && { echo "routed_sandbox: no namespace for $pid" >&2; exit 3; }
        sleep 0.02
    done
done
in_router() { nsenter -t "$router" -n "$@"; }
in_far() { nsenter -t "$far" -n "$@"; }

ip link add v4 type veth peer name v5 netns "$router"
ip addr add 10.98.0.1/24 dev v4
ip link set v4 up
ip route add 10.99.0.0/24 via 10.98.0.2

in_router ip link set lo up
in_router ip addr add 10.98.0.2/24 dev v5
in_router ip link set v5 up
in_router ip link add v6 type veth peer name v7 netns "$far"
in_router ip addr add 10.99.0.1/24 dev v6
in_router ip link set v6 up
in_router sh -c 'echo 1 > /proc/sys/net/ipv4/ip_forward
                 echo 1 > /proc/sys/net/ipv4/conf/all/bc_forwarding
                 echo 1 > /proc/sys/net/ipv4/conf/v5/bc_forwarding
                 echo 1 > /proc/sys/net/ipv4/conf/v6/bc_forwarding'

in_far ip link set lo up
in_far ip addr add 10.99.0.2/24 dev v7
in_far ip link set v7 up
in_far ip route add default via 10.99.0.1

# Ready once the simulator has said where it listens.
fifo=$(mktemp -u)
mkfifo "$fifo"
# shellcheck disable=SC2086
nsenter -t "$far" -n "$sim" --hear-all --address 10.99.0.2 $simargs 2>"$fifo" &
simpid=$!
exec 3<"$fifo"
rm -f "$fifo"
read -r banner <&3 || true
cat <&3 >/dev/null &
case "$banner" in
*"devices at"*) ;;
*) echo "routed_sandbox: the simulator did not start: $banner" >&2; exit 3 ;;
esac
"$@"
