#!/bin/sh
# What the progress display costs: the split of SCRATCH/big.bin into
# diskette-sized parts from the window against the same split in silent
# mode, in one process (bench/window/window_bench) under Wine on a virtual X
# server of its own.
# Prints "WINDOW SILENT" (median seconds) on standard output for
# bench/run.sh, the details on standard error. The target: the window's
# split takes at most 10% longer.
#
#   bench/window-split.sh [EXE] [SCRATCH] [RUNS]   (defaults: build/win64/Fendrix.exe, build/bench, 3)
#
# Both splits run the engine inside the benchmark's own process, built from
# the same tree; EXE only names the build that bench/run.sh measures.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
exe=${1:-$root/build/win64/Fendrix.exe}
scratch=${2:-$root/build/bench}
runs=${3:-3}

cd "$root"
[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target window_bench >/dev/null
export WINEPREFIX="${WINEPREFIX:-$root/build/win64/wineprefix}"
[ -f "$WINEPREFIX/system.reg" ] || cmake/wine-prefix.sh "$WINEPREFIX" build/win64/drives >/dev/null
mkdir -p "$scratch"
[ -f "$scratch/big.bin" ] || head -c 1073741824 /dev/urandom >"$scratch/big.bin"

state=$(mktemp -d)
trap 'tests/window/xvfb-stop.sh "$state"; rm -rf "$state"' EXIT INT TERM
tests/window/xvfb-start.sh "$state"

# Without a window manager Wine would wait for one whenever a window is
# hidden: the benchmark's windows go unmanaged, as the window tests' do.
build/win64/wine-run.sh reg add 'HKCU\Software\Wine\AppDefaults\window_bench.exe\X11 Driver' \
    /v Managed /d N /f >/dev/null 2>&1

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
out=$(tests/window/with-display.sh "$state" build/win64/wine-run.sh build/win64/bench/window_bench.exe \
      "$(winpath "$scratch/big.bin")" "$(winpath "$scratch")" "$runs" | tr -d '\r')
printf '%s\n' "$out" | grep -E '^(split|  )' >&2
printf '%s\n' "$out" | sed -n 's/^window-split: //p'
