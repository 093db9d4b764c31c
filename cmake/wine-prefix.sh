#!/bin/sh
# Prepares the Wine prefix that the tests and benchmarks run in: created
# once, then given a floppy drive A: and a CD-ROM drive R: on scratch
# directories, a plain drive S: whose root the scan tests fill, no automatic
# debugger, and a wineserver that stays up while the tests run. Safe to run
# on a prefix made by an earlier run: what is missing is added.
set -eu
prefix=$1
drives=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8

if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

mkdir -p "$drives/floppy" "$drives/cdrom" "$drives/scan"
ln -sfn "$drives/floppy" "$prefix/dosdevices/a:"
ln -sfn "$drives/cdrom" "$prefix/dosdevices/r:"
ln -sfn "$drives/scan" "$prefix/dosdevices/s:"
# A program that crashes must end at once with its exit code and Wine's
# line about the fault. Wine's automatic debugger (winedbg) would instead
# open its crash dialog on the tests' X server and wait there for good, and
# without a display it ends the process with exit code 0. An empty Debugger
# starts none; Auto 1 keeps Wine from asking first in a message box.
aedebug='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
debugger_off() {
    key=$(sed -n '/^\[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\AeDebug\]/,/^$/p' \
          "$prefix/system.reg" 2>/dev/null)
    printf '%s\n' "$key" | grep -qx '"Debugger"=""' && printf '%s\n' "$key" | grep -qx '"Auto"="1"'
}
if ! grep -q '"r:"="cdrom"' "$prefix/system.reg" 2>/dev/null || ! debugger_off; then
    wine reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null 2>&1
    wine reg add "$aedebug" /v Debugger /d '' /f >/dev/null 2>&1
    wine reg add "$aedebug" /v Auto /d 1 /f >/dev/null 2>&1
    # The mount manager reads the drive types when the wineserver starts,
    # and the server writes the registry files when it ends.
    wineserver -k || true
    wineserver -w
    if ! debugger_off; then
        echo "wine-prefix: cannot turn off the automatic debugger in $prefix" >&2
        exit 1
    fi
fi
# One fresh server for the whole run, up before any client: a client that
# comes first starts a server of its own that ends three seconds after its
# last client, and a server left from an earlier run (or a benchmark) ends
# when its own time runs out, in the middle of this run; a test started
# while either shuts down is left hanging without one.
wineserver -k >/dev/null 2>&1 || true
wineserver -w
wineserver -p600 >/dev/null 2>&1 </dev/null || true
# Start the server's services once so that the first test does not pay.
wine cmd /c exit 0 >/dev/null 2>&1 </dev/null
exit 0
