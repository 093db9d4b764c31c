#!/bin/bash
# What recovery files cost, against par2cmdline on the same parts: a split
# of 256 MiB into diskette parts with recovery files for a tenth of its
# volumes against the same split without them (both programs), the
# recovery data alone against `par2 create -s1453568 -r10`, the repair of
# one lost part against `par2 repair`, the multiply-add rates, and the peak
# memory of splits of 256 MiB and 4 GiB into DVD parts. Alternating rounds
# on a tmpfs, the 4 GiB split on the disk. Appends its figures to
# bench/results.md.
#
#   bench/recovery.sh [RUNS]      (default 5; needs root for the tmpfs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}

./scripts/setup.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Fendrix -j2 >/dev/null
exe=$root/build/win64/Fendrix.exe
cmake --preset linux >/dev/null
cmake --build --preset linux --target fendrix gf16_bench -j2 >/dev/null
fx=$root/build/linux/fendrix

export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
wineserver -p600 >/dev/null 2>&1 &
wine cmd /c exit 0 >/dev/null 2>&1

scratch=$root/build/bench-recovery-tmpfs
mkdir -p "$scratch"
mountpoint -q "$scratch" || mount -t tmpfs -o size=4G tmpfs "$scratch"
disk=$root/build/bench-recovery-disk
trap 'cd "$root"; umount "$scratch" 2>/dev/null || true; rm -rf "$disk"' EXIT
cd "$scratch"
[ -f src.bin ] || head -c 268435456 /dev/urandom >src.bin

. "$root/bench/rounds.sh"

# 185 data parts and the volume they share with header file 001: 19
# volumes are a tenth, par2's -r10.
size=1453568
read -r t_with t_without < <(paired "rm -rf p && mkdir p" "'$fx' split src.bin p -q -s $size -r 19" \
    "rm -rf q && mkdir q" "'$fx' split src.bin q -q -s $size")
r=$(ratio "$t_with" "$t_without")
row "fendrix split 256 MiB, diskette parts: with 10% recovery ${t_with}s, without ${t_without}s" "$r x" "<= 3 x" \
    "$(meets "$r" 3)"
ours=$(echo "$t_with - $t_without" | bc -l)

read -r w_with w_without < <(paired "rm -rf p && mkdir p" "wine '$exe' /SILENT src.bin p /SIZE$size /RECOVERY19" \
    "rm -rf q && mkdir q" "wine '$exe' /SILENT src.bin q /SIZE$size")
r=$(ratio "$w_with" "$w_without")
row "Fendrix.exe split 256 MiB, diskette parts: with 10% recovery ${w_with}s, without ${w_without}s" "$r x" \
    "<= 3 x" "$(meets "$r" 3)"

# par2 over the parts that the plain split wrote.
rm -rf q && mkdir q && "$fx" split src.bin q -q -s $size
par2_create=()
for round in $(seq "$runs"); do
    par2_create+=("$(timed "rm -f q/*.par2" "cd q && par2 create -q -q -s$size -r10 src.bin.par2 src.bin.[0-9]* src.bin.h001")")
done
t_par2=$(median "${par2_create[@]}")
r=$(ratio "$t_par2" "$ours")
row "10% recovery data for 256 MiB of diskette parts: par2 create ${t_par2}s, fendrix (split with minus without) ${ours}s" \
    "$r x faster" ">= 10 x" "$(if [ "$(echo "$r >= 10" | bc -l)" = 1 ]; then echo yes; else echo NO; fi)"

# One lost part: par2 repair from its own files, the verify run's repair
# from ours; both check every part first.
rm -rf p && mkdir p && "$fx" split src.bin p -q -s $size -r 19
repair_ours=() repair_par2=()
for round in $(seq "$runs"); do
    repair_ours+=("$(timed "rm -f p/src.bin.050 p/*.damaged" "'$fx' verify --repair -q p/src.bin.001")")
    repair_par2+=("$(timed "rm -f q/src.bin.050" "cd q && par2 repair -q -q src.bin.par2")")
done
cmp -s q/src.bin.050 p/src.bin.050 || { echo "the repaired parts differ!"; exit 1; }
t_ours=$(median "${repair_ours[@]}")
t_par2=$(median "${repair_par2[@]}")
r=$(ratio "$t_par2" "$t_ours")
row "repair of one lost diskette part of 256 MiB: par2 repair ${t_par2}s, fendrix verify --repair ${t_ours}s" \
    "$r x faster" ">= 5 x" "$(if [ "$(echo "$r >= 5" | bc -l)" = 1 ]; then echo yes; else echo NO; fi)"

# The kernels: GB/s of source bytes times targets on one core.
"$root/build/linux/bench/gf16_bench" | while read -r line; do echo "gf16: $line"; done | tee gf16.txt
kernel=$(sed -n '1s/.*processor: //p' gf16.txt)
into=$(grep -m1 "20 targets of 64 KiB" gf16.txt | sed 's/.*: //')
row "multiply-add, one core ($kernel)" "$into" "(figure only; the ceiling is one vpshufb pair per 32 bytes a target)" "-"

# Peak memory: DVD parts (4.7 GB), one volume to survive.
dvd=4700372992
peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }
rm -rf p && mkdir p
m256=$(peak "$fx" split src.bin p -q -s $dvd -r 1)
mkdir -p "$disk" && rm -rf "$disk"/* && mkdir "$disk/p"
head -c 4294967296 /dev/urandom >"$disk/src4.bin"
m4g=$(peak "$fx" split "$disk/src4.bin" "$disk/p" -q -s $dvd -r 1)
rm -rf "$disk"
row "peak memory, split with recovery into DVD parts: 256 MiB source ${m256} KiB, 4 GiB source ${m4g} KiB" \
    "$(ratio "$m4g" "$m256") x" "flat, <= 512 MiB" "$(if [ "$m4g" -le 524288 ]; then echo yes; else echo NO; fi)"

cd "$root"
{
    echo
    echo "## Recovery files"
    echo
    echo "Taken $(date -u +%Y-%m-%d) by bench/recovery.sh on a tmpfs (the 4 GiB split on the disk); medians of $runs alternating rounds."
    echo
    echo "| measurement | figure | target | met |"
    echo "|---|---|---|---|"
    printf '%s\n' "${results[@]}"
} >>bench/results.md
