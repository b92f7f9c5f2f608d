#!/bin/bash
# Test hosts for the echo probe, all inside network namespaces this script makes, joined by veth pairs to a
# bridge in a namespace of its own. The prefix 198.18.0.0/24 exists only in there, and the probing process
# runs in one of them too, so no probe ever leaves the machine. Needs root.
#
#   testhosts.sh up [TAG]               make the hosts (TAG, default "tv", prefixes every namespace name)
#   testhosts.sh down [TAG]             remove everything "up" made
#   testhosts.sh run [TAG] -- CMD...    up, run CMD in TAG-client, down (also when CMD fails or is killed)
#
# Namespaces and addresses:
#   TAG-client   198.18.0.2   where probes run as root; ping_group_range closed, so a raw socket is used
#   TAG-uclient  198.18.0.3   where probes run; ping_group_range open to every group (datagram socket)
#   TAG-echo     198.18.0.10  answered by the kernel's echo
#   TAG-resp     kernel echo off; tools/echo_responder answers:
#                198.18.0.20  after 40 ms
#                198.18.0.21  after 40 ms, preceded by replies that must not count and followed by a duplicate
#                198.18.0.22  with an ICMP host-unreachable error
#                198.18.0.23  never (nobody answers)
# The responder is $TARVELIN_RESPONDER, else echo_responder in the build tree next to this script.
set -euo pipefail

readonly kPrefix=198.18.0
readonly kDelayMs=40

tag=tv
command=${1:-}
shift || true
if [[ $# -gt 0 && $1 != -- ]]; then
    tag=$1
    shift
fi
[[ $tag =~ ^[A-Za-z0-9_-]{1,20}$ ]] || { echo "testhosts: bad tag '$tag'" >&2; exit 2; }

state_dir=/run/tarvelin-testhosts/$tag
hub=$tag-hub

find_responder() {
    if [[ -n ${TARVELIN_RESPONDER:-} ]]; then
        echo "$TARVELIN_RESPONDER"
        return
    fi
    local here
    here=$(cd "$(dirname "$0")/.." && pwd)
    find "$here/build" -path '*/tools/echo_responder' -type f -perm -u+x 2>/dev/null | head -n 1
}

# host NAME ADDRESS...: a namespace with lo up, joined to the bridge through eth0 holding the addresses.
host() {
    local short=$1 name=$tag-$1 address
    shift
    ip netns add "$name"
    ip -n "$name" link set lo up
    ip -n "$hub" link add "v-$short" type veth peer name eth0 netns "$name"
    ip -n "$hub" link set "v-$short" master br0 up
    for address in "$@"; do
        ip -n "$name" addr add "$address/24" dev eth0
    done
    ip -n "$name" link set eth0 up
}

down() {
    if [[ -f $state_dir/responder.pid ]]; then
        local pid
        pid=$(cat "$state_dir/responder.pid")
        # Only our own responder: the pid must still belong to our namespace.
        if ip netns pids "$tag-resp" 2>/dev/null | grep -qx "$pid"; then
            kill "$pid" 2>/dev/null || true
        fi
    fi
    for name in client uclient echo resp hub; do
        ip netns del "$tag-$name" 2>/dev/null || true
    done
    rm -rf "$state_dir"
}

up() {
    local responder
    responder=$(find_responder)
    [[ -x $responder ]] || { echo "testhosts: echo_responder not built (set TARVELIN_RESPONDER)" >&2; return 1; }
    down
    mkdir -p "$state_dir"
    trap 'down' ERR
    ip netns add "$hub"
    ip -n "$hub" link add br0 type bridge
    ip -n "$hub" link set br0 up
    host client "$kPrefix.2"
    host uclient "$kPrefix.3"
    ip netns exec "$tag-uclient" sysctl -qw net.ipv4.ping_group_range="0 2147483647"
    host echo "$kPrefix.10"
    host resp "$kPrefix.20" "$kPrefix.21" "$kPrefix.22" "$kPrefix.23"
    ip netns exec "$tag-resp" sysctl -qw net.ipv4.icmp_echo_ignore_all=1
    ip netns exec "$tag-resp" "$responder" "$kPrefix.20=delay:$kDelayMs" "$kPrefix.21=garbage:$kDelayMs" \
        "$kPrefix.22=unreachable" >"$state_dir/responder.out" 2>&1 &
    echo $! >"$state_dir/responder.pid"
    for _ in $(seq 100); do
        grep -q ready "$state_dir/responder.out" 2>/dev/null && break
        sleep 0.05
    done
    grep -q ready "$state_dir/responder.out" || { echo "testhosts: responder did not start" >&2; false; }
    trap - ERR
}

case $command in
    up) up ;;
    down) down ;;
    run)
        [[ ${1:-} == -- ]] && shift
        [[ $# -gt 0 ]] || { echo "usage: $0 run [TAG] -- CMD..." >&2; exit 2; }
        trap down EXIT INT TERM
        up
        ip netns exec "$tag-client" "$@"
        ;;
    *)
        echo "usage: $0 up|down [TAG] | run [TAG] -- CMD..." >&2
        exit 2
        ;;
esac
