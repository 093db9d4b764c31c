#!/bin/bash
# What the set's checksums cost: the CRC's throughput, then splits and joins
# of 1 GiB with checksums against the same without them, in alternating
# rounds on a tmpfs (the disk's writeback would swamp a tenth either way).
# "Without" is the program built from the commit before checksums came
# (BASE_REV, found from its commit message unless given) for the split, and
# the same program on the set with its sfv file taken away for the join.
# Appends its figures to bench/results.md.
#
#   bench/checksums.sh [RUNS]      (default 5; needs root for the tmpfs)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-5}

./scripts/setup.sh
command -v bc >/dev/null || { apt-get update -qq && apt-get install -y -qq bc >/dev/null; }
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 >/dev/null
exe=$root/build/win64/Fendrix.exe

base_rev=${BASE_REV:-$(git log --format=%H -1 --grep="Every split writes the set's sfv file")^}
base_src=$root/build/bench-base-src
if [ ! -x "$root/build/bench-base/Fendrix.exe" ]; then
    rm -rf "$base_src"
    git worktree prune
    git worktree add --detach "$base_src" "$base_rev" >/dev/null
    cmake -S "$base_src" -B "$root/build/bench-base" -G Ninja -DBUILD_TESTING=OFF \
        -DCMAKE_TOOLCHAIN_FILE="$base_src/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/build/bench-base" --target Fendrix -j2 >/dev/null
    git worktree remove --force "$base_src"
fi
base=$root/build/bench-base/Fendrix.exe

export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
wineserver -p600 >/dev/null 2>&1 &
wine cmd /c exit 0 >/dev/null 2>&1

scratch=$root/build/bench-tmpfs
mkdir -p "$scratch"
mountpoint -q "$scratch" || mount -t tmpfs -o size=6G tmpfs "$scratch"
trap 'cd "$root"; umount "$scratch" 2>/dev/null || true' EXIT
cd "$scratch"
[ -f big.bin ] || head -c 1073741824 /dev/urandom >big.bin

. "$root/bench/rounds.sh"

while read -r line; do
    row "CRC-32, $line" "" "several GB/s" "-"
done < <(wine "$root/build/win64/bench/crc_bench.exe" | tr -d '\r' | grep -v '^bitwise')

for size in 1453568 104857600; do
    label=$([ $size = 1453568 ] && echo "1.44 MB parts" || echo "100 MiB parts")
    read -r t_new t_old < <(paired "rm -rf p && mkdir p" "wine '$exe' /SILENT big.bin p /SIZE$size" \
                                   "rm -rf q && mkdir q" "wine '$base' /SILENT big.bin q /SIZE$size")
    r=$(ratio "$t_new" "$t_old")
    row "split 1 GiB, $label: with its sfv ${t_new}s, without (previous program) ${t_old}s" "$r x" "<= 1.10 x" \
        "$(meets "$r" 1.10)"
    # The same set without its sfv file, linked rather than copied.
    rm -rf q && mkdir q && cp -l p/* q/ && rm q/big.bin.sfv
    read -r t_new t_old < <(paired "rm -rf j && mkdir j" "wine '$exe' /SILENT 'p\\big.bin.h001' j /UNSPLIT" \
                                   "rm -rf k && mkdir k" "wine '$exe' /SILENT 'q\\big.bin.h001' k /UNSPLIT")
    cmp -s big.bin j/big.bin && cmp -s big.bin k/big.bin || { echo "a join differs!"; exit 1; }
    r=$(ratio "$t_new" "$t_old")
    row "join 1 GiB, $label: checking the sfv ${t_new}s, set without sfv ${t_old}s" "$r x" "<= 1.10 x" \
        "$(meets "$r" 1.10)"
    rm -rf p q j k
done

cd "$root"
{
    echo
    echo "## Checksums"
    echo
    echo "Taken $(date -u +%Y-%m-%d) by bench/checksums.sh on a tmpfs; medians of $runs alternating rounds."
    echo
    echo "| measurement | figure | target | met |"
    echo "|---|---|---|---|"
    printf '%s\n' "${results[@]}"
} >>bench/results.md
