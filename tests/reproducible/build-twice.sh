#!/bin/sh
# Two builds of Fendrix.exe from the same source, in other directories and
# at another time, must be the same file byte for byte.
# Usage: build-twice.sh SOURCE_DIR FIRST_FENDRIX_EXE
set -eu
src=$(realpath "$1")
first=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-repro.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The source at another path: every path the compiler sees differs.
mkdir "$work/elsewhere"
(cd "$src" && tar -cf - --exclude=./build --exclude=./.git .) | (cd "$work/elsewhere" && tar -xf -)
cmake -S "$work/elsewhere" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$work/elsewhere/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$work/build" --target Fendrix -j2 >/dev/null
if cmp "$first" "$work/build/Fendrix.exe"; then
    echo "build-twice: both builds are byte for byte the same ($(sha256sum <"$first" | cut -c1-16)...)"
else
    echo "FAIL build-twice: the second build differs"
    cmp -l "$first" "$work/build/Fendrix.exe" | head -5
    exit 1
fi
