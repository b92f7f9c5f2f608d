#!/bin/bash
# Load benchmark of the echo probe beside fping, once over a raw socket and once over the unprivileged
# datagram socket. Each run gets a network namespace of its own with only loopback up, so the probes stay
# on 127.0.0.0/8 and no other ICMP traffic of the machine reaches the raw socket. Needs root.
#   bench/probe_load.sh [BUILD_DIR]    (configured with -DTARVELIN_BUILD_BENCH=ON; default build/bench)
# TARVELIN_BENCH_SECONDS shortens the 20 s per run.
set -euo pipefail

build=${1:-build/bench}
bench=$build/bench/probe_load_bench
[[ -x $bench ]] || { echo "probe_load: $bench not built" >&2; exit 1; }
command -v fping >/dev/null || { echo "probe_load: fping not installed" >&2; exit 1; }

spaces=()
cleanup() {
    for space in "${spaces[@]}"; do ip netns del "$space" 2>/dev/null || true; done
}
trap cleanup EXIT INT TERM

for kind in raw datagram; do
    space=tvbench-$$-$kind
    spaces+=("$space")
    ip netns add "$space"
    ip -n "$space" link set lo up
    # A closed ping_group_range leaves root the raw socket; an open one gives everyone the datagram socket.
    range="1 0"
    [[ $kind == datagram ]] && range="0 2147483647"
    ip netns exec "$space" sysctl -qw net.ipv4.ping_group_range="$range"
    echo "== echo probe over a $kind socket"
    ip netns exec "$space" "$bench" --benchmark_counters_tabular=true
done
