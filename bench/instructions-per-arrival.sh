#!/bin/sh
# Instructions the tester's window thread spends on GPI input arrivals, counted by callgrind:
# a cost figure that does not depend on how busy the machine is.
#
#   bench/instructions-per-arrival.sh [path/to/vorn-bench] [arrivals]
#
# The benchmark's --arrivals mode connects the real window to the simulated device (in a
# thread of its own), checks Echo and lets the device send one GPI input message at a time,
# each one only after the tester has echoed the previous one and finished everything it left
# to do. Callgrind's counters are zeroed before the first arrival and dumped after the last;
# only the window's thread is counted.
set -eu

bench=${1:-build/default/bin/vorn-bench}
count=${2:-500}

if ! command -v valgrind >/dev/null 2>&1; then
    echo "instructions-per-arrival: valgrind is not installed" >&2
    exit 1
fi
if [ ! -x "$bench" ]; then
    echo "instructions-per-arrival: no benchmark at $bench (build the vorn-bench target)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1 valgrind --tool=callgrind \
    --separate-threads=yes --callgrind-out-file="$work/callgrind.out" \
    "$bench" --arrivals "$count" >"$work/run.log" 2>&1; then
    cat "$work/run.log" >&2
    exit 1
fi

# The dump the benchmark asked for, of the first thread: the window's.
dump=""
for file in "$work"/callgrind.out*; do
    if grep -q '^desc: Trigger: Client Request: arrivals' "$file" &&
        grep -q '^thread: 1$' "$file"; then
        dump=$file
    fi
done
if [ -z "$dump" ]; then
    echo "instructions-per-arrival: callgrind wrote no dump of the arrivals" >&2
    exit 1
fi

total=$(sed -n 's/^summary: //p' "$dump")
inclusive() {
    callgrind_annotate --inclusive=yes --threshold=100 "$dump" 2>/dev/null |
        grep -F "$1" | head -n 1 | awk '{ gsub(",", "", $1); print $1 }'
}
handler=$(inclusive 'ReceiveDispatcher::Vorn_DataArrival(')
trim=$(inclusive 'Form1::TrimTerminal()')
repaint=$(inclusive 'QWidgetRepaintManager::paintAndFlush()')
# How often the window was repainted: the calls into paintAndFlush from its one caller.
repaints=$(callgrind_annotate --tree=caller --threshold=100 "$dump" 2>/dev/null |
    grep -B1 -F '*  ???:QWidgetRepaintManager::paintAndFlush()' | head -n 1 |
    sed -n 's/.*(\([0-9,]*\)x).*/\1/p' | tr -d ,)

awk -v n="$count" -v total="$total" -v handler="${handler:-0}" -v trim="${trim:-0}" \
    -v repaint="${repaint:-0}" -v repaints="${repaints:-0}" 'BEGIN {
    printf "GPI input arrivals handled:                %d (echo on, one at a time)\n", n
    printf "instructions per arrival, receive handler: %.0f\n", handler / n
    printf "  of which the log trim:                   %.0f\n", trim / n
    if (repaints > 0)
        printf "instructions per window repaint:           %.0f (%d repaints)\n", repaint / repaints, repaints
    printf "instructions per arrival, whole thread:    %.0f\n", total / n
    printf "  (socket notification, handler, echo, repaints and timers, as paced here)\n"
}'
