#!/usr/bin/env bash
# Takes the README's pictures: each tester connected to vorn-sim on 127.0.0.1, with a few
# outputs on and the answers to Query In, Query Out and Query FW, in a private X server.
#   docs/take-screenshots.sh [BUILD-FOLDER]        (default: build/default)
# Needs xvfb, xdotool and imagemagick.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/default}")/bin
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")

# twips to the window's pixels, 15 twips a pixel, and a click there
click() { xdotool mousemove --window "$1" $(($2 / 15 + 6)) $(($3 / 15 + 6)) click 1; }

shoot() { # program output-picture inputs-to-report outputs-to-switch...
    local program=$1 picture=$2 inputs=$3
    shift 3
    "$bin/vorn-sim" --port 0 --inputs "$inputs" </dev/null >"$work/sim.log" 2>&1 &
    pids+=($!)
    local port=
    for _ in $(seq 100); do
        port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim.log")
        [ -n "$port" ] && break
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$bin/$program" >/dev/null 2>&1 &
    pids+=($!)
    local window
    window=$(timeout 30 xdotool search --sync --onlyvisible --pid "${pids[-1]}" --name '^VORN' | head -1)
    sleep 0.5
    click "$window" 1440 120 # Vorn_Address
    xdotool key ctrl+a type 127.0.0.1
    click "$window" 1440 480 # Vorn_Port
    xdotool key ctrl+a type "$port"
    click "$window" 3240 120 # Connect
    sleep 1
    for i in "$@"; do # GPI_Out(i)
        click "$window" $((3720 + 1200 * (i / 8))) $((1680 + 240 * (i % 8)))
        sleep 0.1
    done
    click "$window" 5040 120 # Query In
    sleep 0.3
    click "$window" 5040 600 # Query Out
    sleep 0.3
    click "$window" 6120 600 # Query FW
    sleep 1
    import -window "$window" -strip "$picture"
    echo "$picture"
    kill "${pids[-1]}" "${pids[-2]}"
}

shoot vorn-gpi-tester docs/vorn-gpi-tester.png "6A 5C F0" 0 2 5 9 12 16 19 23
shoot vorn-zed8-tester docs/vorn-zed8-tester.png "6A FF FF" 0 2 5 7
