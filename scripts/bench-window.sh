#!/bin/sh
# What the progress arc costs: a split of FENDRIX_BENCH_MIB MiB (default
# 1024) run silently and from the window, under Wine on a virtual X server.
# Prints the times; the target is a window split at most 10% slower.
set -eu
cd "$(dirname "$0")/.."
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target fendrix_window_tests Fendrix >/dev/null
ctest --preset win64 -R wine_prefix >/dev/null
state=$(mktemp -d)
trap 'tests/window/xvfb-stop.sh "$state"; rm -rf "$state"' EXIT INT TERM
tests/window/xvfb-start.sh "$state"
tests/window/with-display.sh "$state" build/win64/wine-run.sh build/win64/tests/fendrix_window_tests.exe \
    --fendrix=build/win64/Fendrix.exe --gtest_also_run_disabled_tests \
    --gtest_filter='TWindowBenchmark.*' | grep -E '^(split|  )'
