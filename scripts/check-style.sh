#!/usr/bin/env bash
# The house style: every C++ file as clang-format writes it, and no finding of the Qt-aware
# static analysis (clazy, with the checks listed in .clazy) in the programs' own sources.
# Takes the build folder whose compile_commands.json the analysis reads (build/default).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
    echo "check-style: files above differ from clang-format's; run clang-format -i on them" >&2
    exit 1
fi

checks=$(grep -v '^#' .clazy | awk 'NF { printf "%s%s", sep, $1; sep = "," }')
# The sources this build compiles: another platform's files are that platform's to check.
mapfile -t analysed < <(git ls-files 'src/*.cpp' 'check/*.cpp' 'sim/*.cpp' 'cli/*.cpp' 'mon/*.cpp' ':!mon/bench' |
    while read -r file; do
        grep -qF "\"file\": \"$PWD/$file\"" "$build/compile_commands.json" && echo "$file"
    done)
# Each finding is an error (the build's -Werror); the run lists them all before it fails.
findings=$(printf '%s\n' "${analysed[@]}" |
    xargs -P "$(nproc)" -n 8 clazy-standalone -p "$build" --checks="$checks" 2>&1 |
    grep -Ei 'Wclazy|error' || true)
if [ -n "$findings" ]; then
    printf '%s\n' "$findings" >&2
    echo "check-style: clazy findings above" >&2
    exit 1
fi
echo "check-style: clang-format clean, clazy found nothing in ${#analysed[@]} files"
