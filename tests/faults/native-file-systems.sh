#!/bin/bash
# The native program's copies on the file systems that decide how bytes move:
# XFS with shared blocks (parts cloned from the source, the CRC reading them
# once), a tmpfs (the kernel's copy for a join without an sfv file), the
# two together (no copy across file systems: the plain way). Every way must
# give the same set and the same files back, find a damaged part, and end a
# full disk with 9 without losing anything. Needs root for the mounts (77,
# a skip, otherwise).
# Usage: native-file-systems.sh NATIVE_FENDRIX
set -u
fendrix=$(realpath "$1")
[ "$(id -u)" -eq 0 ] || { echo "needs root for the mounts"; exit 77; }
command -v mkfs.xfs >/dev/null || { echo "needs mkfs.xfs"; exit 77; }
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-native-fs.XXXXXX")
tmp=$work/tmpfs xfs=$work/xfs small=$work/small
mkdir -p "$tmp" "$xfs" "$small"
cleanup() {
    umount "$xfs" "$small" 2>/dev/null
    umount "$tmp" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mount -t tmpfs -o size=400m tmpfs "$tmp"
truncate -s 300m "$tmp/xfs.img"
mkfs.xfs -q -m reflink=1 "$tmp/xfs.img" && mount -o loop "$tmp/xfs.img" "$xfs" || { echo "no XFS with reflink here"; exit 77; }

failed=0
fail() { echo "FAIL $*"; failed=1; }
# Every bit of one byte inverted: a fixed byte written into random data
# would leave it as it was once in 256 runs.
flip() { # file, offset
    b=$(od -An -tu1 -j"$2" -N1 "$1" | tr -d ' ')
    printf "\\$(printf %03o $((255 - b)))" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
run() { # code, label, command... (verify has no --quiet: it shows nothing)
    local want=$1 label=$2
    shift 2
    if [ "$1 $2" = "$fendrix verify" ]; then "$@"; else "$@" --quiet; fi 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "$label: ended with $got, not $want ($(cat "$work/err"))"
}
sums() { (cd "$1" && find . -type f | sort | xargs md5sum); }
times() { (cd "$1" && find . -mindepth 1 | sort | xargs stat -c '%n %Y'); }

# A file whose last part is not whole, and a tree of small files with one
# large enough for the kernel's copy; the same on each file system.
for fs in "$tmp" "$xfs"; do
    mkdir -p "$fs/src/tree/sub"
    head -c $((5 * 1048576 + 123)) /dev/urandom >"$fs/src/big.bin" 2>/dev/null
    [ "$fs" = "$tmp" ] || cp -p "$tmp/src/big.bin" "$fs/src/big.bin"
done
for i in $(seq 1 40); do head -c $((i * 97)) /dev/urandom >"$tmp/src/tree/sub/f$i"; done
head -c 700000 /dev/urandom >"$tmp/src/tree/large.bin"
touch -d '2001-02-03 04:05:06' "$tmp/src/tree/large.bin" "$tmp/src/tree/sub/f7"
cp -a "$tmp/src/tree" "$xfs/src/"
mkdir -p "$work/reference"
"$fendrix" split "$tmp/src/big.bin" "$work/reference" --size 1M --quiet || fail "the reference set of the file"
"$fendrix" split "$tmp/src/tree" "$work/reference" --size 1M --quiet || fail "the reference set of the tree"
reference=$(sums "$work/reference")

# source | set | output: the same sets and the same files from every way.
rows=(
    "$xfs|$xfs/set|$xfs/out|XFS throughout: parts cloned, joined by cloning"
    "$tmp|$tmp/set|$tmp/out|tmpfs throughout: the kernel copies"
    "$tmp|$xfs/set|$tmp/out|across file systems: no copy in the kernel"
)
for row in "${rows[@]}"; do
    IFS='|' read -r src set out label <<<"$row"
    mkdir -p "$set" "$out" "$out-plain"
    run 0 "$label: split of the file" "$fendrix" split "$src/src/big.bin" "$set" --size 1M
    run 0 "$label: split of the tree" "$fendrix" split "$src/src/tree" "$set" --size 1M
    [ "$(sums "$set")" = "$reference" ] || fail "$label: the sets differ from the reference"
    run 0 "$label: join of the file" "$fendrix" join "$set/big.bin.003" "$out"
    run 0 "$label: join of the tree" "$fendrix" join "$set/tree.001" "$out"
    cmp -s "$src/src/big.bin" "$out/big.bin" || fail "$label: the file came back different"
    [ "$(sums "$src/src/tree")" = "$(sums "$out/tree")" ] || fail "$label: the tree came back different"
    [ "$(times "$src/src/tree")" = "$(times "$out/tree")" ] || fail "$label: the tree's times differ"
    # Without its sfv file, the set is joined by the kernel's plain copy.
    mkdir -p "$set-plain"
    cp -a "$set"/big.bin.[0-9h]* "$set-plain/"
    run 0 "$label: join without sfv" "$fendrix" join "$set-plain/big.bin.001" "$out-plain"
    cmp -s "$src/src/big.bin" "$out-plain/big.bin" || fail "$label: the file came back different without sfv"
    # A damaged part is found on every way, the cloned one included.
    flip "$set/big.bin.003" 4242
    rm -rf "$out"/*
    run 13 "$label: join of a damaged set" "$fendrix" join "$set/big.bin.001" "$out"
    run 13 "$label: verify of a damaged set" "$fendrix" verify "$set/big.bin.001"
done

# On XFS the parts share the source's blocks instead of holding copies.
filefrag -v "$xfs/set/big.bin.002" 2>/dev/null | grep -q shared || fail "XFS: part 002 shares no block with the source"

# The kernel's copy onto a disk that fills up: 9, and the set untouched.
mount -t tmpfs -o size=9m tmpfs "$small"
mkdir -p "$small/set" "$small/out"
"$fendrix" split "$tmp/src/big.bin" "$small/set" --size 1M --quiet || fail "the set on the small disk"
rm "$small/set/big.bin.sfv"
before=$(sums "$small/set")
run 9 "join onto a disk that fills up" "$fendrix" join "$small/set/big.bin.001" "$small/out"
[ "$before" = "$(sums "$small/set")" ] || fail "the set on the full disk changed"

[ $failed -eq 0 ] && echo "native file systems: every way of copying gave the same sets and files"
exit $failed
