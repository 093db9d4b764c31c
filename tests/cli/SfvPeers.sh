#!/bin/sh
# The sfv file of a fresh set is read by checkers that no one here wrote:
# Debian's cksfv and rhash accept every part of a file set and a tree set,
# and cksfv names the one part whose byte was flipped.
# Usage: SfvPeers.sh WINE_RUN FENDRIX_EXE
set -eu
wine_run=$1
fendrix=$2
for tool in cksfv rhash; do
    if ! command -v $tool >/dev/null 2>&1; then
        echo "$tool is not installed"
        [ -n "${FENDRIX_REQUIRE_ALL:-}" ] && exit 1
        exit 77
    fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-sfv.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The program runs under Wine, where a Linux path is on drive Z:.
winpath() {
    printf 'Z:%s' "$1" | tr / '\\'
}

failed=0
fail() {
    echo "FAIL $*"
    failed=1
}

# A file of 20 parts and a tree with a file in a subdirectory.
mkdir -p "$work/file/parts" "$work/tree/src/sub" "$work/tree/parts"
head -c 19500 /dev/urandom >"$work/file/f.bin"
head -c 5000 /dev/urandom >"$work/tree/src/a.bin"
head -c 3333 /dev/urandom >"$work/tree/src/sub/b.bin"
"$wine_run" "$fendrix" /SILENT "$(winpath "$work/file/f.bin")" "$(winpath "$work/file/parts")" /SIZE1000 ||
    fail "file split"
"$wine_run" "$fendrix" /SILENT "$(winpath "$work/tree/src")" "$(winpath "$work/tree/parts")" /SIZE1000 ||
    fail "tree split"

for set in file/parts/f.bin tree/parts/src; do
    dir=$work/$(dirname "$set")
    sfv=$(basename "$set").sfv
    lines=$(grep -c -v '^;' "$dir/$sfv")
    files=$(ls "$dir" | grep -c -v '\.sfv$')
    [ "$lines" -eq "$files" ] || fail "$set: $lines lines for $files files"
    (cd "$dir" && cksfv -q -f "$sfv" >"$work/cksfv.log" 2>&1) || { fail "$set: cksfv"; cat "$work/cksfv.log"; }
    (cd "$dir" && rhash --check "$sfv" >"$work/rhash.log" 2>&1) || { fail "$set: rhash"; cat "$work/rhash.log"; }
    [ $failed -eq 0 ] && echo "ok   $set: cksfv and rhash accept $lines files"
done

# One byte of part 7 of 20 flipped: cksfv names that part and no other.
# Every bit is inverted, so the byte changes whatever random value it held.
part7=$work/file/parts/f.bin.007
byte=$(od -An -tu1 -j500 -N1 "$part7" | tr -d ' ')
printf "\\$(printf '%03o' $((255 - byte)))" | dd of="$part7" bs=1 seek=500 conv=notrunc 2>/dev/null
if (cd "$work/file/parts" && cksfv -q -f f.bin.sfv >"$work/cksfv.log" 2>&1); then
    fail "cksfv accepts a damaged part"
elif ! grep -q 'f.bin.007' "$work/cksfv.log" || grep -v 'f.bin.007' "$work/cksfv.log" | grep -q 'f.bin.0'; then
    fail "cksfv does not name part 007 alone"
    cat "$work/cksfv.log"
else
    echo "ok   cksfv names the damaged part: $(grep 'f.bin.007' "$work/cksfv.log")"
fi
exit $failed
