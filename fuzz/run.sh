#!/usr/bin/env bash
# Runs fuzz targets, each for a given time, over its seed corpus:
#
#   fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
#
# BUILD_DIR is a build configured with VORN_FUZZ=ON (the fuzz preset: build/fuzz) in which
# the fuzzers target was built. Without TARGETs every target that fuzz/CMakeLists.txt adds
# runs, one after the other.
# New inputs that libFuzzer finds go to BUILD_DIR/fuzz/corpus/TARGET; the seeds in
# fuzz/corpus stay as they are. A finding is saved as BUILD_DIR/fuzz/TARGET-crash-... and
# makes the script fail. Each run's last status line (exec count, speed) is printed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:?usage: run.sh BUILD_DIR SECONDS [TARGET...]}" && pwd)"
seconds="${2:?usage: run.sh BUILD_DIR SECONDS [TARGET...]}"
shift 2
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    mapfile -t targets < <(sed -n 's/^vorn_add_fuzzer(\([A-Za-z0-9_]*\).*/\1/p' "$here/CMakeLists.txt")
fi

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$here/../tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# The longest input worth trying for each target.
max_len() {
    case "$1" in
    fuzz_dispatcher) echo 256 ;;
    fuzz_lenient_number) echo 1100 ;;
    *) echo 512 ;;
    esac
}

# The targets that drive the real window leave Qt's caches allocated between inputs, which
# would make libFuzzer run a full leak scan after nearly every input. Those check for leaks
# once, when the run ends, instead.
leak_option() {
    case "$1" in
    fuzz_dispatcher | fuzz_lenient_number) echo -detect_leaks=0 ;;
    *) echo -detect_leaks=1 ;;
    esac
}

status=0
for target in "${targets[@]}"; do
    binary="$build/fuzz/$target"
    seeds="$here/corpus/${target#fuzz_}"
    scratch="$build/fuzz/corpus/$target"
    log="$build/fuzz/$target.log"
    mkdir -p "$scratch"
    [ -x "$binary" ] || { echo "$target: $binary is missing; build the fuzzers target" >&2; exit 2; }
    echo "== $target for $seconds s"
    if "$binary" -max_total_time="$seconds" -max_len="$(max_len "$target")" -timeout=10 \
        "$(leak_option "$target")" \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/fuzz/$target-" \
        "$scratch" "$seeds" >"$log" 2>&1; then
        grep -E '^#[0-9]+' "$log" | tail -n 1 || true
        grep -E 'stat::number_of_executed_units' "$log" || true
    else
        status=1
        echo "$target: FINDING (see $log)"
        grep -E 'ERROR|check failed|SUMMARY|Test unit written' "$log" | head -n 20 || true
    fi
done
exit $status
