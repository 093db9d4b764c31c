#!/bin/bash
# What the parity file costs, in both programs: splits of 1 GiB with parity
# against the same without it, and the join of a set that lost one volume (rebuilt from the
# others, which are read once more) against the join of the whole set; the
# same program, alternating rounds on a tmpfs (the disk's writeback would
# swamp a tenth either way). Appends its figures to bench/results.md.
#
#   bench/parity.sh [RUNS]      (default 5; needs root for the tmpfs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}

./scripts/setup.sh
command -v bc >/dev/null || { apt-get update -qq && apt-get install -y -qq bc >/dev/null; }
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Fendrix -j2 >/dev/null
exe=$root/build/win64/Fendrix.exe
cmake --preset linux >/dev/null
cmake --build --preset linux --target fendrix -j2 >/dev/null
fx=$root/build/linux/fendrix

export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
wineserver -p600 >/dev/null 2>&1 &
wine cmd /c exit 0 >/dev/null 2>&1

scratch=$root/build/bench-parity-tmpfs
mkdir -p "$scratch"
mountpoint -q "$scratch" || mount -t tmpfs -o size=6G tmpfs "$scratch"
trap 'cd "$root"; umount "$scratch" 2>/dev/null || true' EXIT
cd "$scratch"
[ -f big.bin ] || head -c 1073741824 /dev/urandom >big.bin

. "$root/bench/rounds.sh"

# One program's figures for one part size: its split with and without
# parity, then the join of that set with part 005 lost (the set linked
# rather than copied) against the join of the whole set. The commands take
# OUT for the output directory and FIRST for part 001 of the set to join.
measure() { # program label, part size label, split with parity, split without, join
    local name=$1 label=$2 with=$3 without=$4 join=$5
    read -r t_new t_old < <(paired "rm -rf p && mkdir p" "${with//OUT/p}" "rm -rf q && mkdir q" "${without//OUT/q}")
    r=$(ratio "$t_new" "$t_old")
    row "$name split 1 GiB, $label: with parity ${t_new}s, without ${t_old}s" "$r x" "<= 1.15 x" "$(meets "$r" 1.15)"
    rm -rf q && mkdir q && cp -l p/* q/ && rm q/big.bin.005
    local lost=${join//FIRST/q${sep}big.bin.001} whole=${join//FIRST/p${sep}big.bin.001}
    read -r t_new t_old < <(paired "rm -rf j && mkdir j" "${lost//OUT/j}" "rm -rf k && mkdir k" "${whole//OUT/k}")
    cmp -s big.bin j/big.bin && cmp -s big.bin k/big.bin || { echo "$name: a join differs!"; exit 1; }
    r=$(ratio "$t_new" "$t_old")
    row "$name join 1 GiB, $label: one volume lost and rebuilt ${t_new}s, whole set ${t_old}s" "$r x" "(figure only)" "-"
    rm -rf p q j k
}

for size in 1453568 104857600; do
    label=$([ $size = 1453568 ] && echo "1.44 MB parts" || echo "100 MiB parts")
    sep='\'
    measure Fendrix.exe "$label" "wine '$exe' /SILENT big.bin OUT /SIZE$size /PARITY" \
        "wine '$exe' /SILENT big.bin OUT /SIZE$size" "wine '$exe' /SILENT 'FIRST' OUT /UNSPLIT"
    sep=/
    measure fendrix "$label" "'$fx' split big.bin OUT --size $size --parity" "'$fx' split big.bin OUT --size $size" \
        "'$fx' join FIRST OUT"
done

cd "$root"
{
    echo
    echo "## Parity"
    echo
    echo "Taken $(date -u +%Y-%m-%d) by bench/parity.sh on a tmpfs; medians of $runs alternating rounds."
    echo
    echo "| measurement | figure | target | met |"
    echo "|---|---|---|---|"
    printf '%s\n' "${results[@]}"
} >>bench/results.md
