#!/bin/bash
# Two builds of Fendrix on the same 1 GiB file, in alternating rounds (the
# order swapped each round) on a tmpfs, so that neither the disk's writeback
# nor the machine's state on the day favours one of them. Prints the medians
# of split and join and their ratio (candidate / reference). Needs root for
# the mount. Not a test: timings vary with the machine.
#
#   bench/compare-builds.sh REFERENCE.exe [CANDIDATE.exe] [ROUNDS] [PART_SIZE]
#   (defaults: build/win64/Fendrix.exe, 7 rounds, 1453568-byte parts)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
reference=$1
candidate=${2:-$root/build/win64/Fendrix.exe}
rounds=${3:-7}
size=${4:-1453568}

scratch=$(mktemp -d)
cleanup() {
    umount "$scratch" 2>/dev/null || true
    rmdir "$scratch" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
mount -t tmpfs -o size=3500m tmpfs "$scratch"
cp "$reference" "$scratch/reference.exe"
cp "$candidate" "$scratch/candidate.exe"
head -c 1073741824 /dev/urandom >"$scratch/source.bin"

export WINEPREFIX=${WINEPREFIX:-$root/build/win64/wineprefix} WINEDEBUG=-all LC_ALL=C.UTF-8
wineserver -p600 >/dev/null 2>&1 &
wine cmd /c exit 0 >/dev/null 2>&1

win() { printf 'Z:%s' "$1" | tr / '\\'; }
now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# Seconds of a split and of a join by one build; both outputs are removed
# first, outside the timing.
run_build() {
    local exe=$scratch/$1.exe
    rm -rf "$scratch/parts" "$scratch/back"
    mkdir -p "$scratch/parts" "$scratch/back"
    sync
    local t0 t1 t2
    t0=$(now)
    wine "$exe" /SILENT "$(win "$scratch/source.bin")" "$(win "$scratch/parts")" "/SIZE$size" >/dev/null 2>&1
    t1=$(now)
    wine "$exe" /SILENT "$(win "$scratch/parts/source.bin.h001")" "$(win "$scratch/back")" /UNSPLIT >/dev/null 2>&1
    t2=$(now)
    cmp -s "$scratch/source.bin" "$scratch/back/source.bin" || { echo "$1: the join differs" >&2; exit 1; }
    echo "$(echo "$t1 - $t0" | bc -l) $(echo "$t2 - $t1" | bc -l)"
}

ref_split=() ref_join=() cand_split=() cand_join=()
for round in $(seq "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then order="reference candidate"; else order="candidate reference"; fi
    for build in $order; do
        read -r s j <<<"$(run_build "$build")"
        if [ "$build" = reference ]; then ref_split+=("$s"); ref_join+=("$j"); else cand_split+=("$s"); cand_join+=("$j"); fi
        printf 'round %d %-9s split %.3fs join %.3fs\n' "$round" "$build" "$s" "$j"
    done
done

rs=$(median "${ref_split[@]}"); rj=$(median "${ref_join[@]}")
cs=$(median "${cand_split[@]}"); cj=$(median "${cand_join[@]}")
printf 'split 1 GiB, parts of %s bytes: reference %.3fs, candidate %.3fs, ratio %.3f\n' "$size" "$rs" "$cs" "$(echo "$cs / $rs" | bc -l)"
printf 'join  1 GiB, parts of %s bytes: reference %.3fs, candidate %.3fs, ratio %.3f\n' "$size" "$rj" "$cj" "$(echo "$cj / $rj" | bc -l)"
printf 'split+join: reference %.3fs, candidate %.3fs, ratio %.3f\n' "$(echo "$rs + $rj" | bc -l)" "$(echo "$cs + $cj" | bc -l)" \
    "$(echo "($cs + $cj) / ($rs + $rj)" | bc -l)"
