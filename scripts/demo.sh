#!/bin/sh
# Builds Fendrix.exe and runs it silently on a built-in example.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Fendrix

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/parts"
head -c 3000000 /dev/urandom >"$demo/sample.bin"

export WINEPREFIX="$PWD/build/win64/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

echo "Fendrix.exe /SILENT sample.bin parts"
set +e
wine build/win64/Fendrix.exe /SILENT "$demo/sample.bin" "$demo/parts" >/dev/null 2>&1
code=$?
set -e
echo "exit code: $code"
ls -l "$demo/parts"
