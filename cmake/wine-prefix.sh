#!/bin/sh
# Prepares the Wine prefix that the tests run in: created once, then given a
# floppy drive A: and a CD-ROM drive R: on scratch directories, a plain
# drive S: whose root the scan tests fill, and a wineserver that stays up
# while the tests run.
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
if ! grep -q '"r:"="cdrom"' "$prefix/system.reg" 2>/dev/null; then
    wine reg add 'HKLM\Software\Wine\Drives' /v a: /d floppy /f >/dev/null 2>&1
    wine reg add 'HKLM\Software\Wine\Drives' /v r: /d cdrom /f >/dev/null 2>&1
    # The mount manager reads the drive types when the wineserver starts.
    wineserver -k || true
    wineserver -w
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
