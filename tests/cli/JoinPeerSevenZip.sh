#!/bin/sh
# Data parts are plain slices of the source, so a tool no one here wrote can
# join a single-file set: 7-Zip (Debian's 7zip, command 7zz) extracts
# NAME.001 and its followers into the original file.
# Usage: JoinPeerSevenZip.sh WINE_RUN FENDRIX_EXE
set -eu
wine_run=$1
fendrix=$2
# Without 7zz the test reports itself skipped, unless FENDRIX_REQUIRE_ALL=1
# (set by scripts/test.sh, whose setup installs it), where it fails.
if ! command -v 7zz >/dev/null 2>&1; then
    echo "7zz is not installed"
    [ "${FENDRIX_REQUIRE_ALL:-0}" = 1 ] && { echo "FENDRIX_REQUIRE_ALL=1: 7zz is required"; exit 1; }
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-peer.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The program runs under Wine, where a Linux path is on drive Z:.
winpath() {
    printf 'Z:%s' "$1" | tr / '\\'
}

failed=0
# Sizes: a short last part, an exact multiple (which ends with an empty
# part) and a file smaller than one part.
for case in 2500000:1000000 3000000:1000000 1000:1453568; do
    size=${case%%:*}
    part=${case##*:}
    dir="$work/$size-$part"
    mkdir -p "$dir/src" "$dir/parts" "$dir/peer"
    head -c "$size" /dev/urandom >"$dir/src/movie.avi"
    if ! "$wine_run" "$fendrix" /SILENT "$(winpath "$dir/src/movie.avi")" "$(winpath "$dir/parts")" "/SIZE$part"; then
        echo "FAIL size $size part $part: split failed"
        failed=1
        continue
    fi
    if ! (cd "$dir/peer" && 7zz x "$dir/parts/movie.avi.001" -y >"$dir/7zz.log" 2>&1); then
        echo "FAIL size $size part $part: 7zz refused the parts"
        cat "$dir/7zz.log"
        failed=1
        continue
    fi
    if cmp -s "$dir/src/movie.avi" "$dir/peer/movie.avi"; then
        echo "ok   size $size part $part: $(ls "$dir/parts" | grep -c '\.[0-9]*$') data parts joined by 7zz"
    else
        echo "FAIL size $size part $part: 7zz rebuilt a different file"
        failed=1
    fi
done
exit $failed
