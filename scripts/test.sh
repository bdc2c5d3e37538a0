#!/usr/bin/env bash
# Builds everything and runs the whole test suite (headless), after installing the build
# packages that are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
cmake --preset default -G Ninja >/dev/null
cmake --build --preset default
QT_QPA_PLATFORM=offscreen ctest --preset default "$@"
