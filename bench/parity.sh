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

for size in 1453568 104857600; do
    label=$([ $size = 1453568 ] && echo "1.44 MB parts" || echo "100 MiB parts")
    read -r t_new t_old < <(paired "rm -rf p && mkdir p" "wine '$exe' /SILENT big.bin p /SIZE$size /PARITY" \
                                   "rm -rf q && mkdir q" "wine '$exe' /SILENT big.bin q /SIZE$size")
    r=$(ratio "$t_new" "$t_old")
    row "split 1 GiB, $label: with /PARITY ${t_new}s, without ${t_old}s" "$r x" "<= 1.15 x" "$(meets "$r" 1.15)"
    # The same set with part 005 lost, linked rather than copied.
    rm -rf q && mkdir q && cp -l p/* q/ && rm q/big.bin.005
    read -r t_new t_old < <(paired "rm -rf j && mkdir j" "wine '$exe' /SILENT 'q\\big.bin.001' j /UNSPLIT" \
                                   "rm -rf k && mkdir k" "wine '$exe' /SILENT 'p\\big.bin.001' k /UNSPLIT")
    cmp -s big.bin j/big.bin && cmp -s big.bin k/big.bin || { echo "a join differs!"; exit 1; }
    r=$(ratio "$t_new" "$t_old")
    row "join 1 GiB, $label: one volume lost and rebuilt ${t_new}s, whole set ${t_old}s" "$r x" "(figure only)" "-"
    rm -rf p q j k
    # The native program, same set and same pairs.
    read -r t_new t_old < <(paired "rm -rf p && mkdir p" "'$fx' split big.bin p --size $size --parity" \
                                   "rm -rf q && mkdir q" "'$fx' split big.bin q --size $size")
    r=$(ratio "$t_new" "$t_old")
    row "fendrix split 1 GiB, $label: with --parity ${t_new}s, without ${t_old}s" "$r x" "<= 1.15 x" "$(meets "$r" 1.15)"
    rm -rf q && mkdir q && cp -l p/* q/ && rm q/big.bin.005
    read -r t_new t_old < <(paired "rm -rf j && mkdir j" "'$fx' join q/big.bin.001 j" \
                                   "rm -rf k && mkdir k" "'$fx' join p/big.bin.001 k")
    cmp -s big.bin j/big.bin && cmp -s big.bin k/big.bin || { echo "a native join differs!"; exit 1; }
    r=$(ratio "$t_new" "$t_old")
    row "fendrix join 1 GiB, $label: one volume lost and rebuilt ${t_new}s, whole set ${t_old}s" "$r x" "(figure only)" "-"
    rm -rf p q j k
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
