#!/usr/bin/env bash
# Unpacks Qt for Windows (built for MinGW-w64) into build/windows, where the windows preset
# looks for it, unless it is there already. The archive is looked for in ../shared/windows
# beside the repository, or where VORN_WINDOWS_QT names it.
#
#   scripts/windows-qt.sh && cmake --preset windows && cmake --build --preset windows
set -euo pipefail
cd "$(dirname "$0")/.."

archive="${VORN_WINDOWS_QT:-../shared/windows/qt-6.4.2-win64-mingw.tar.xz}"
target=build/windows
if [ -f "$target/qt6-win64/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    exit 0
fi
if [ ! -f "$archive" ]; then
    echo "Qt for Windows not found at $archive: set VORN_WINDOWS_QT to the archive" >&2
    exit 1
fi
mkdir -p "$target"
tar -C "$target" -xJf "$archive"
# Qt's offscreen platform on Windows takes its fonts from lib/fonts; the tests under Wine
# find Debian's there.
ln -sfn /usr/share/fonts/truetype/liberation "$target/qt6-win64/lib/fonts"
echo "Qt for Windows unpacked into $target/qt6-win64"
