#!/bin/sh
# Starts Fendrix on a virtual X server, starts a split from its window with
# the keyboard, as a user would, and saves a PNG of the window while the
# job runs (default docs/screenshot.png). Needs Xvfb, xdotool, imagemagick.
set -eu
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
exe=build/win64/Fendrix.exe
if [ ! -f "$exe" ]; then
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target Fendrix
fi

work=$(mktemp -d)
state="$work/xvfb"
program=""
cleanup() {
    if [ -n "$program" ]; then
        # The wine launcher and what it started: the desktop and Fendrix.
        for pid in $(pgrep -P "$program" 2>/dev/null) "$program"; do
            kill "$pid" 2>/dev/null || true
        done
    fi
    tests/window/xvfb-stop.sh "$state"
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

tests/window/xvfb-start.sh "$state"
DISPLAY=$(cat "$state/display")
WINEPREFIX=${WINEPREFIX:-$PWD/build/win64/wineprefix}
export DISPLAY WINEPREFIX WINEDEBUG=-all LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

# A sparse 3 GiB source: quick to make, long enough to split for a picture.
mkdir -p "$work/parts"
truncate -s 3G "$work/sample.iso"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# A Wine desktop of its own draws the caption bar as Windows would.
wine explorer /desktop=Fendrix,440x262 "$exe" "$(winpath "$work/sample.iso")" "$(winpath "$work/parts")" \
    /SIZE100000000 >/dev/null 2>&1 &
program=$!

i=0
until xdotool search --name '^Fendrix light$' >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -lt 100 ] || { echo "screenshot: the window did not appear" >&2; exit 1; }
    sleep 0.1
done
sleep 1
# Keyboard input goes to the window under the pointer.
xdotool mousemove 435 258
# From the source field to Split: both browse buttons, the output field and
# its button, the size list and field, both check boxes.
for _ in 1 2 3 4 5 6 7 8 9; do
    xdotool key Tab
    sleep 0.05
done
xdotool key Return   # Split
sleep 0.7
xdotool key Return   # Yes to "There are 31 parts to create..."
sleep 4
import -window root -crop 440x262+0+0 +repage "$out"
echo "screenshot: $out"

# Esc, Yes to the cancel question, then close the window.
xdotool key Escape
sleep 0.5
xdotool key Return
sleep 0.5
xdotool key alt+F4
i=0
while kill -0 "$program" 2>/dev/null && [ $i -lt 50 ]; do
    i=$((i + 1))
    sleep 0.1
done
