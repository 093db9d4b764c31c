#!/bin/sh
# Real faults of real disks, not injected ones: a full disk and a read-only
# one, both small tmpfs mounts given drive letters in the test prefix.
# Needs root for the mounts; without it the test reports itself skipped,
# unless FENDRIX_REQUIRE_ALL=1 (set by scripts/test.sh), where a machine
# without root fails instead. A mount that fails as root is a failure.
set -u
run=$1        # the build's wine-run.sh
exe=$2        # Fendrix.exe
scratch=$3    # a scratch directory of this test

if [ "$(id -u)" -ne 0 ]; then
    echo "not root: cannot mount the test disks"
    [ "${FENDRIX_REQUIRE_ALL:-0}" = 1 ] && { echo "FENDRIX_REQUIRE_ALL=1: root is required"; exit 1; }
    exit 77
fi

prefix=$(dirname "$run")/wineprefix
full="$scratch/full"
ro="$scratch/readonly"
work="$scratch/work"
failures=0

cleanup() {
    umount "$full" 2>/dev/null
    umount "$ro" 2>/dev/null
    rm -f "$prefix/dosdevices/f:" "$prefix/dosdevices/o:"
    rm -rf "$scratch"
}
trap cleanup EXIT
umount "$full" 2>/dev/null; umount "$ro" 2>/dev/null
rm -rf "$scratch"
mkdir -p "$full" "$ro" "$work"
mount -t tmpfs -o size=2m tmpfs "$full" || { echo "mount of the full disk failed"; exit 1; }
mount -t tmpfs -o ro,size=1m tmpfs "$ro" || { echo "mount of the read-only disk failed"; exit 1; }
ln -sfn "$full" "$prefix/dosdevices/f:"
ln -sfn "$ro" "$prefix/dosdevices/o:"

head -c 5000000 /dev/urandom >"$work/big.bin"
mkdir -p "$work/parts"

expect() {
    want=$1; shift
    (cd "$work" && "$run" "$exe" "$@" >/dev/null 2>&1)
    got=$?
    if [ "$got" -ne "$want" ]; then
        printf 'FAIL: Fendrix.exe %s gave %s, expected %s\n' "$*" "$got" "$want"
        failures=$((failures + 1))
    else
        printf 'ok: Fendrix.exe %s -> %s\n' "$*" "$got"
    fi
}

# Split onto a disk that fills up: a file error, the parts written so far
# stay, the source is untouched.
sum_before=$(md5sum <"$work/big.bin")
expect 9 /SILENT big.bin 'F:\' /SIZE1000000
[ -s "$full/big.bin.001" ] || { echo "FAIL: the first part was not kept"; failures=$((failures + 1)); }
[ "$(md5sum <"$work/big.bin")" = "$sum_before" ] || { echo "FAIL: the source changed"; failures=$((failures + 1)); }
rm -f "$full"/*

# Join onto a disk that fills up.
expect 0 /SILENT big.bin parts /SIZE1000000
expect 9 /SILENT 'parts\big.bin.h001' 'F:\' /UNSPLIT
[ -f "$full/big.bin" ] || { echo "FAIL: the partly rebuilt file was removed"; failures=$((failures + 1)); }

# A read-only disk as output.
expect 9 /SILENT big.bin 'O:\' /SIZE1000000
expect 9 /SILENT 'parts\big.bin.h001' 'O:\' /UNSPLIT

[ "$failures" -eq 0 ]
