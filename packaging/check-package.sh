#!/usr/bin/env bash
# Builds the Debian package from an existing build folder, installs it, starts each installed
# tester in a private X server and finds its window by its caption, then removes the package
# and checks that nothing of it is left behind.
#   packaging/check-package.sh [BUILD-FOLDER]        (default: build/default)
# As root the package is installed with apt-get as a user would; otherwise it is unpacked
# into a scratch folder and the programs are started from there.
# Needs cmake, dpkg-dev, lintian, desktop-file-utils, appstream, xvfb, xdotool and x11-utils.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")

work=$(mktemp -d)
chmod 755 "$work" # apt's download user must be able to read the package
xvfb_pid=
program_pid=
package=
installed=no
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    if [ "$installed" = yes ]; then
        apt-get remove --purge -y -qq "$package" >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

passes=0
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
pass() {
    echo "ok: $*"
    passes=$((passes + 1))
}

# --- build the package from the build folder ---------------------------------------------
cmake --build "$build" >/dev/null
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; exit 1; }
deb=$(find "$work/out" -maxdepth 1 -name '*.deb')
[ "$(echo "$deb" | wc -l)" = 1 ] && [ -n "$deb" ] || { echo "expected one .deb, got: $deb" >&2; exit 1; }
package=$(dpkg-deb -f "$deb" Package)
pass "built $(basename "$deb")"
grep -q 'libqt6widgets6' <<<"$(dpkg-deb -f "$deb" Depends)" ||
    fail "the package does not depend on the Qt 6 libraries it links"

# Debian's own checker: no error and no warning on the package.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 &&
    pass "lintian: no errors, no warnings" || { cat "$work/lintian.log" >&2; fail "lintian"; }

# --- the files for the desktop, checked in the unpacked package --------------------------
root=$work/root
dpkg-deb -x "$deb" "$root"
# desktop-file-validate exits 0 on hints; anything it says is a finding.
hints=$(desktop-file-validate "$root"/usr/share/applications/*.desktop 2>&1) && [ -z "$hints" ] &&
    pass "menu entries valid" || fail "menu entries: $hints"
appstreamcli validate-tree --no-net "$root" >"$work/appstream.log" 2>&1 &&
    pass "AppStream metadata valid" || { cat "$work/appstream.log" >&2; fail "AppStream metadata"; }
[ -e "$root/usr/bin/vorn-sim" ] && { [ -e "$root/usr/share/man/man1/vorn-sim.1.gz" ] ||
    fail "vorn-sim is installed without its manual page"; }
[ -e "$root/usr/bin/vorn-check" ] && { [ -e "$root/usr/share/man/man1/vorn-check.1.gz" ] ||
    fail "vorn-check is installed without its manual page"; }
[ -e "$root/usr/bin/vorn-mon" ] && { [ -e "$root/usr/share/man/man1/vorn-mon.1.gz" ] ||
    fail "vorn-mon is installed without its manual page"; }

# --- install ------------------------------------------------------------------------------
if [ "$(id -u)" = 0 ]; then
    prefix=
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; exit 1; }
    installed=yes
    pass "installed with apt-get"
else
    prefix=$root
    echo "not root: checking the programs in the unpacked package, without installing it"
fi

# --- start each tester from its installed path in a private X server -----------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$work/display")

while read -r -u 4 program caption; do
    entry=$(grep -l "^Exec=$program\$" "$prefix"/usr/share/applications/*.desktop || true)
    [ -n "$entry" ] || { fail "$program: no menu entry starts it"; continue; }
    icon=$(sed -n 's/^Icon=//p' "$entry")
    for file in 16x16/apps/$icon.png 32x32/apps/$icon.png scalable/apps/$icon.svg; do
        [ -s "$prefix/usr/share/icons/hicolor/$file" ] || fail "$program: no icon $file"
    done

    QT_QPA_PLATFORM=xcb "$prefix/usr/bin/$program" >"$work/$program.log" 2>&1 &
    program_pid=$!
    pattern="^$(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$caption")\$"
    window=$(timeout 60 xdotool search --sync --name "$pattern" 2>/dev/null | head -1) || true
    if [ -z "$window" ]; then
        fail "$program: no window captioned \"$caption\""
        cat "$work/$program.log" >&2
    elif [ "$(xdotool getwindowpid "$window" || true)" != "$program_pid" ]; then
        fail "$program: the window \"$caption\" belongs to another process"
    else
        pass "$prefix/usr/bin/$program shows \"$caption\""
        # The menu entry and the window must agree for the desktop to group them.
        wm_class=$(sed -n 's/^StartupWMClass=//p' "$entry")
        grep -qF "\"$wm_class\"" <<<"$(xprop -id "$window" WM_CLASS)" ||
            fail "$program: WM_CLASS is not \"$wm_class\""
        grep -q 'Icon (16 x 16)' <<<"$(xprop -id "$window" _NET_WM_ICON)" ||
            fail "$program: the window has no 16x16 icon"
    fi
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null || true
    program_pid=
done 4<"$build/packaging/tester-windows.txt"

# --- remove, and look for anything left behind ----------------------------------------------
if [ "$installed" = yes ]; then
    dpkg -L "$package" >"$work/files"
    DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -qq "$package" >"$work/apt.log" 2>&1 ||
        { cat "$work/apt.log" >&2; exit 1; }
    installed=no
    dpkg -L "$package" >/dev/null 2>&1 && fail "dpkg still lists the files of $package"
    while read -r path; do
        [ "$path" = /. ] && continue
        if [ -d "$path" ]; then
            # A folder may stay only while it holds something or another package owns it.
            if [ -z "$(ls -A "$path")" ] && ! dpkg -S "$path" >/dev/null 2>&1; then
                fail "empty folder left behind: $path"
            fi
        elif [ -e "$path" ] || [ -L "$path" ]; then
            fail "left behind: $path"
        fi
    done <"$work/files"
    [ "$failures" = 0 ] && pass "removed, nothing left behind"
fi

echo "package: $passes passed, $failures failed"
[ "$failures" = 0 ]
