#!/bin/sh
# Runs a command with DISPLAY set to the virtual X server of the window tests.
state=$1
shift
DISPLAY=$(cat "$state/display") || exit 125
export DISPLAY
exec "$@"
