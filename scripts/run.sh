#!/usr/bin/env bash
# Tries a tester without a Vorn: installs the build packages that are missing (with sudo
# when not run as root), builds, starts the device simulator on 127.0.0.1:2323 and the
# tester, and stops the simulator when the tester is closed.
#
#   scripts/run.sh [gpi|zed8] [vorn-sim options...]
#
# gpi (the default) starts the 24-GPI "VORN GPI Tester", zed8 the 8-GPI "VORN ZED8 Tester".
# Options after it go to vorn-sim (see build/default/bin/vorn-sim --help), e.g. --walk 300.
set -euo pipefail
cd "$(dirname "$0")/.."

tester=vorn-gpi-tester
gpis=24
case "${1:-gpi}" in
gpi) ;;
zed8) tester=vorn-zed8-tester gpis=8 ;;
-h | --help)
    sed -n '2,9s/^# \{0,1\}//p' "$0"
    exit 0
    ;;
*)
    echo "usage: scripts/run.sh [gpi|zed8] [vorn-sim options...]" >&2
    exit 2
    ;;
esac
[ $# -gt 0 ] && shift

address=127.0.0.1
port=2323
build=build/default

scripts/install-packages.sh

cmake --preset default -G Ninja >/dev/null
cmake --build --preset default --target vorn-sim "$tester"

# The simulator's trace goes to a file; the terminal stays for the one line below.
log="$build/vorn-sim.log"
"$build/bin/vorn-sim" --address "$address" --port "$port" --follow --loopback --pace 20 \
    --walk-count "$gpis" "$@" </dev/null >"$log" 2>&1 &
sim=$!
stop_sim() {
    kill "$sim" 2>/dev/null || true
    wait "$sim" 2>/dev/null || true
}
trap stop_sim EXIT

# Serving, or gone (port taken, bad option): say which before the window opens.
for _ in $(seq 50); do
    grep -q 'press Connect' "$log" 2>/dev/null && break
    if ! kill -0 "$sim" 2>/dev/null; then
        echo "The simulator did not start:" >&2
        cat "$log" >&2
        exit 1
    fi
    sleep 0.1
done

echo "In the tester type address $address and port $port, then press Connect" \
    "(simulator trace: $log)."
"$build/bin/$tester"
