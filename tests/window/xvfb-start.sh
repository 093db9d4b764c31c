#!/bin/sh
# Starts a virtual X server on a free display number for the window tests and
# records the number and the server's process id in STATE_DIR.
set -eu
state=$1
mkdir -p "$state"
if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
    exit 0
fi
n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do
    n=$((n + 1))
done
# setsid and closed descriptors: the server must not hold the test's pipes.
setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
echo $! >"$state/pid"
echo ":$n" >"$state/display"
i=0
while [ ! -e "/tmp/.X11-unix/X$n" ]; do
    i=$((i + 1))
    if [ $i -gt 100 ]; then
        echo "Xvfb did not start on :$n" >&2
        exit 1
    fi
    sleep 0.1
done
exit 0
