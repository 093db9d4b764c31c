#!/bin/sh
# The native program on real disks that fill up or refuse writes: a full
# tmpfs and a read-only one. Each run ends with 9 and loses nothing that was
# there: the source, the parts of a set. Needs root for the mounts (77, a
# skip, otherwise).
# Usage: native-disk-faults.sh NATIVE_FENDRIX
set -u
fendrix=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "needs root for the mounts"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-native-disks.XXXXXX")
full=$work/full
ro=$work/readonly
mkdir -p "$full" "$ro" "$work/set" "$work/src/sub"
cleanup() {
    umount "$full" 2>/dev/null
    umount "$ro" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
failed=0
fail() { echo "FAIL $*"; failed=1; }
expect() { # code, label, command...
    want=$1 label=$2
    shift 2
    "$@" --quiet 2>"$work/err"
    got=$?
    [ "$got" -eq "$want" ] || fail "$label: ended with $got, not $want ($(cat "$work/err"))"
    [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$label: not one line on stderr"
}
head -c 3000000 /dev/urandom >"$work/src/big.bin"
head -c 200000 /dev/urandom >"$work/src/sub/small.bin"
sum_before=$(cd "$work/src" && find . -type f | sort | xargs md5sum)
"$fendrix" split "$work/src" "$work/set" --size 1M --quiet || fail "the set to join"
set_before=$(cd "$work/set" && md5sum *)

mount -t tmpfs -o size=1m tmpfs "$full"
expect 9 "split onto a full disk" "$fendrix" split "$work/src" "$full"
expect 9 "join onto a full disk" "$fendrix" join "$work/set/src.001" "$full"
umount "$full"
# A file with holes on the full disk itself: each hole read takes a new page,
# which the disk no longer has. The fault is the full disk's, not a read's.
mount -t tmpfs -o size=1m tmpfs "$full"
truncate -s 3M "$full/holes.bin" && mkdir "$full/parts"
expect 9 "split of a file with holes on a full disk" "$fendrix" split "$full/holes.bin" "$full/parts"
grep -q "No space left" "$work/err" || fail "the full disk is not named as the fault: $(cat "$work/err")"
[ "$(stat -c %s "$full/holes.bin")" -eq 3145728 ] || fail "the file with holes changed"
umount "$full"

mount -t tmpfs -o size=8m tmpfs "$ro"
mount -o remount,ro "$ro"
expect 9 "split onto a read-only disk" "$fendrix" split "$work/src" "$ro"
expect 9 "join onto a read-only disk" "$fendrix" join "$work/set/src.001" "$ro"
[ -z "$(ls -A "$ro")" ] || fail "something was written onto the read-only disk"

[ "$sum_before" = "$(cd "$work/src" && find . -type f | sort | xargs md5sum)" ] || fail "the source changed"
[ "$set_before" = "$(cd "$work/set" && md5sum *)" ] || fail "the set changed"
[ $failed -eq 0 ] && echo "native disk faults: every run ended with 9, nothing lost"
exit $failed
