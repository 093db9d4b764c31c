#!/bin/sh
# Stops the virtual X server that xvfb-start.sh started.
state=$1
if [ -f "$state/pid" ]; then
    kill "$(cat "$state/pid")" 2>/dev/null || true
    rm -f "$state/pid" "$state/display"
fi
exit 0
