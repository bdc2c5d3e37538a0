#!/usr/bin/env bash
# Unzips the Windows zip into a scratch folder and starts its GPI tester under Wine, in a
# private X server with Qt's own Windows platform plugin from the zip (no Qt of the build on
# the search path, no offscreen platform), against the Linux vorn-sim on 127.0.0.1; passes
# when the tester's record shows the connect and the firmware the simulator answered with, and
# the simulator served the connection. Then closes the tester as a user would and ends the simulator and
# the X server. Every wait has a limit.
#   packaging/windows/check-zip.sh [WINDOWS-BUILD] [VORN-SIM]
#       (default: build/windows and build/default/bin/vorn-sim)
# Needs wine, xvfb and cmake (which unzips).
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "${1:-build/windows}")
sim=$(realpath "${2:-build/default/bin/vorn-sim}")

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip="$build/vorn-tester-$version-win64.zip"
[ -f "$zip" ] || { echo "no $zip: build the package target first" >&2; exit 1; }

work=$(mktemp -d)
sim_pid=
xvfb_pid=
tester_pid=
export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$build/wine-prefix}"
unset WINEPATH QT_QPA_PLATFORM QT_PLUGIN_PATH QT_QPA_PLATFORM_PLUGIN_PATH
cleanup() {
    [ -n "$tester_pid" ] && kill "$tester_pid" 2>/dev/null
    [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# wait_for SECONDS COMMAND...: true once the command succeeds, false when time runs out.
wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

(cd "$work" && cmake -E tar xf "$zip")
folder="$work/vorn-tester-$version-win64"
for file in vorn-gpi-tester.exe vorn-zed8-tester.exe vorn-sim.exe vorn-check.exe vorn-mon.exe \
    Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll Qt6SerialPort.dll \
    libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
    LICENSE README.txt; do
    [ -s "$folder/$file" ] || { echo "FAIL: the zip has no $file" >&2; exit 1; }
done
echo "ok: $(basename "$zip") holds the programs, Qt, the MinGW runtime and the texts"

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
wait_for 10 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

# Port 0: the simulator takes a free port and prints it. The tester asks nothing of the box
# until a button is pressed, so the simulator sends its ID response (firmware v2.05) as the
# tester connects, and the tester logs the firmware it read.
"$sim" --port 0 --on-connect 'send FF 00 00 05 05 02' </dev/null >"$work/sim.log" 2>&1 &
sim_pid=$!
listening() { grep -q 'listening on 127.0.0.1:' "$work/sim.log"; }
wait_for 10 listening || { echo "vorn-sim did not start" >&2; cat "$work/sim.log" >&2; exit 1; }
port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log" | head -1)

# Started from its own folder, with a record file Wine reaches through drive Z:.
record="$work/record.log"
(cd "$folder" && exec wine vorn-gpi-tester.exe --address 127.0.0.1 --port "$port" --connect \
    --record "Z:$record") >"$work/tester.log" 2>&1 &
tester_pid=$!

connected() {
    grep -q '^[^ ]* Connect$' "$record" 2>/dev/null && grep -q ' Firmware v2\.05 ' "$record"
}
# The first start of Wine in a prefix takes a while.
if ! wait_for 120 connected; then
    echo "FAIL: the zipped tester did not connect to vorn-sim on 127.0.0.1:$port" >&2
    for log in record tester sim; do
        echo "--- $log" >&2
        cat "$work/$log.log" >&2 2>/dev/null || true
    done
    exit 1
fi
echo "ok: the zipped vorn-gpi-tester.exe connected to vorn-sim on 127.0.0.1:$port:"
grep -E ' Connect$|Firmware v' "$record" | sed 's/^/    /'

# Closed as from its window (taskkill without /f asks the window to close), the tester
# ends by itself; the simulator sees it go and ends at its quit signal.
wine taskkill /im vorn-gpi-tester.exe >/dev/null 2>&1 || true
tester_exited() { ! kill -0 "$tester_pid" 2>/dev/null; }
if wait_for 30 tester_exited; then
    wait "$tester_pid" || { echo "FAIL: the tester ended with status $?" >&2; exit 1; }
    tester_pid=
else
    echo "FAIL: the tester did not close within 30 s" >&2
    exit 1
fi
kill -TERM "$sim_pid"
wait "$sim_pid" || { echo "FAIL: vorn-sim ended with status $?" >&2; exit 1; }
sim_pid=
grep -q 'connections: 1 served' "$work/sim.log" ||
    { echo "FAIL: vorn-sim did not serve the tester" >&2; cat "$work/sim.log" >&2; exit 1; }
echo "ok: the tester closed, vorn-sim served one connection and ended"
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=
wineserver -w 2>/dev/null || true
