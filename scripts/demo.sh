#!/bin/sh
# Builds Fendrix.exe and the native fendrix, splits a sample file and a
# small tree silently into parts with each, joins each program's set with the
# other and checks that the results are identical.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Fendrix
cmake --preset linux >/dev/null
cmake --build --preset linux --target fendrix

root=$PWD
demo=build/demo
rm -rf "$demo"
mkdir -p "$demo/parts" "$demo/joined" "$demo/photos/2019/summer" "$demo/photos/empty"
head -c 3000000 /dev/urandom >"$demo/sample.bin"
head -c 400000 /dev/urandom >"$demo/photos/a.jpg"
head -c 900000 /dev/urandom >"$demo/photos/2019/b.jpg"
head -c 50000 /dev/urandom >"$demo/photos/2019/summer/c.jpg"
: >"$demo/photos/notes.txt"

export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix (once)..."
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi

fendrix() {
    echo "> Fendrix.exe $*"
    set +e
    (cd "$demo" && wine "$root/build/win64/Fendrix.exe" "$@" >/dev/null 2>&1)
    code=$?
    set -e
    echo "  exit code: $code"
    [ "$code" -eq 0 ]
}

fendrix /SILENT sample.bin parts /BATCH /COPY
fendrix /SILENT photos parts /SIZE1000000
echo "written to $demo/parts:"
ls -l "$demo/parts"

fendrix /SILENT 'parts\sample.bin.002' joined /UNSPLIT
fendrix /SILENT 'parts\photos.h001' joined /UNSPLIT
cmp "$demo/sample.bin" "$demo/joined/sample.bin"
diff -r "$demo/photos" "$demo/joined/photos"
echo "joined files are identical to the originals"

# The native program makes the same sets, and each program joins the other's.
native=build/linux/fendrix
rm -rf "$demo/native-parts" "$demo/native-joined" "$demo/cross-joined"
mkdir -p "$demo/native-parts" "$demo/native-joined" "$demo/cross-joined"
echo "> fendrix split $demo/photos $demo/native-parts --size 1000000"
"$native" split "$demo/photos" "$demo/native-parts" --size 1000000
diff -r --exclude='sample*' --exclude=Fendrix.exe "$demo/native-parts" "$demo/parts" >/dev/null &&
    echo "  the same set as Fendrix.exe wrote, byte for byte"
echo "> fendrix join $demo/parts/photos.h001 $demo/native-joined   (the set Fendrix.exe wrote)"
"$native" join "$demo/parts/photos.h001" "$demo/native-joined"
fendrix /SILENT 'native-parts\photos.001' cross-joined /UNSPLIT
diff -r "$demo/photos" "$demo/native-joined/photos"
diff -r "$demo/photos" "$demo/cross-joined/photos"
"$native" verify "$demo/native-parts/photos.001" && echo "> fendrix verify: the set is intact"
echo "each program joins the other's set into identical files"
