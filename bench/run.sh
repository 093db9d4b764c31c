#!/bin/bash
# Fendrix against the tools people use instead, in the same run on the same
# data: GNU split and cat for one file, tar with split and cat for trees.
# Prints one table of figures with their targets and writes it to
# bench/results.md. Not a test: timings vary with the machine.
#
#   bench/run.sh [RUNS] [SCRATCH]     (defaults: 3 runs, build/bench)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-3}
scratch=${2:-$root/build/bench}

./scripts/setup.sh
if ! command -v /usr/bin/time >/dev/null || ! command -v bc >/dev/null; then
    apt-get update -qq && apt-get install -y -qq time bc >/dev/null
fi
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 >/dev/null

exe=$root/build/win64/Fendrix.exe
export WINEPREFIX=$root/build/win64/wineprefix WINEDEBUG=-all LC_ALL=C.UTF-8
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
fi
# One server for the whole run, so that process start-up is not measured.
wineserver -p600 >/dev/null 2>&1 &
wine cmd /c exit 0 >/dev/null 2>&1

mkdir -p "$scratch"
cd "$scratch"

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Seconds of one run of a command, after its preparation and a sync (both
# not measured), so that no run writes behind another's dirty pages.
timed() {
    local prepare=$1; shift
    eval "$prepare"
    sync
    local t0 t1
    t0=$(now)
    "$@" >/dev/null 2>&1
    t1=$(now)
    echo "$t1 - $t0" | bc -l
}
# Median of $runs timings of one command.
median_time() {
    local prepare=$1; shift
    local times=()
    for _ in $(seq "$runs"); do times+=("$(timed "$prepare" "$@")"); done
    median "${times[@]}"
}
# The program and its peer in alternating rounds (the order swapped each
# round), so that both meet the same state of the machine; prints both
# medians. Commands are given as strings.
paired() {
    local prepA=$1 cmdA=$2 prepB=$3 cmdB=$4
    local a=() b=()
    for round in $(seq "$runs"); do
        if [ $((round % 2)) -eq 1 ]; then
            a+=("$(timed "$prepA" sh -c "$cmdA")"); b+=("$(timed "$prepB" sh -c "$cmdB")")
        else
            b+=("$(timed "$prepB" sh -c "$cmdB")"); a+=("$(timed "$prepA" sh -c "$cmdA")")
        fi
    done
    echo "$(median "${a[@]}") $(median "${b[@]}")"
}

fendrix() { wine "$exe" "$@"; }

echo "generating data in $scratch ..."
[ -f big.bin ] || head -c 1073741824 /dev/urandom >big.bin
# Trees of one shape at every size: 25 files to a directory, 20 such
# directories to a group, so that a file lies equally deep in both trees and
# the per-entry times compare the same work.
make_tree() {
    local dir=$1 count=$2
    [ -d "$dir" ] && return
    python3 - "$dir" "$count" <<'PY'
import os, random, sys
root, count = sys.argv[1], int(sys.argv[2])
rng = random.Random(7)
for i in range(count):
    leaf = os.path.join(root, "g%03d" % (i // 500), "d%04d" % (i // 25))
    if i % 25 == 0:
        os.makedirs(leaf, exist_ok=True)
    r = rng.random()
    size = 0 if r < 0.05 else (rng.randrange(1, 300 * 1024) if r > 0.97 else int(rng.paretovariate(1.2) * 400) % 65536)
    with open(os.path.join(leaf, "f%06d.dat" % i), "wb") as f:
        f.write(os.urandom(size))
PY
}
make_tree tree5k 5000
make_tree tree50k 50000

results=()
row() { results+=("$(printf '| %s | %s | %s | %s |' "$1" "$2" "$3" "$4")"); echo "$1: $2 (target $3: $4)"; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }
meets() { if [ "$(echo "$1 <= $2" | bc -l)" = 1 ]; then echo yes; else echo NO; fi; }

for size in 1453568 104857600; do
    label=$([ $size = 1453568 ] && echo "1.44 MB parts" || echo "100 MiB parts")
    read -r t_split t_gnu < <(paired "rm -rf parts && mkdir parts" "wine '$exe' /SILENT big.bin parts /SIZE$size" \
                                     "rm -rf gnu && mkdir gnu" "split -b $size -a 3 -d big.bin gnu/big.bin.")
    read -r t_join t_cat < <(paired "rm -rf joined && mkdir joined" "wine '$exe' /SILENT 'parts\\big.bin.h001' joined /UNSPLIT" \
                                    "rm -f catted.bin" "cat gnu/big.bin.* > catted.bin")
    cmp -s big.bin joined/big.bin || { echo "join result differs!"; exit 1; }
    r=$(ratio "$t_split" "$t_gnu")
    row "split 1 GiB, $label: Fendrix ${t_split}s, GNU split ${t_gnu}s" "$r x" "<= 1.0 x" "$(meets "$r" 1.0)"
    r=$(ratio "$t_join" "$t_cat")
    row "join 1 GiB, $label: Fendrix ${t_join}s, cat ${t_cat}s" "$r x" "<= 1.25 x" "$(meets "$r" 1.25)"
done
rm -rf gnu joined catted.bin

# Peak memory: a sparse input reads as zeros without using disk space.
peak_rss() {
    rm -rf mem && mkdir mem
    /usr/bin/time -f %M -o rss.txt wine "$exe" /SILENT "$1" mem /SIZE104857600 >/dev/null 2>&1
    cat rss.txt
}
truncate -s 256M sparse256.bin
truncate -s 4G sparse4g.bin
rss256=$(peak_rss sparse256.bin)
rss4g=$(peak_rss sparse4g.bin)
rm -rf mem sparse256.bin sparse4g.bin
diff_kib=$((rss4g - rss256))
row "peak resident set, split of 256 MiB: ${rss256} KiB, of 4 GiB: ${rss4g} KiB (sparse inputs)" \
    "+${diff_kib} KiB" "<= +1024 KiB" "$([ $diff_kib -le 1024 ] && echo yes || echo NO)"

# Trees: per-entry times of the 50,000-entry tree against the 5,000-entry one.
tree_times() {
    local tree=$1
    local entries
    entries=$(find "$tree" | wc -l)
    local ts tj tt tu
    ts=$(median_time "rm -rf tparts && mkdir tparts" fendrix /SILENT "$tree" tparts /SIZE104857600)
    tj=$(median_time "rm -rf tjoined && mkdir tjoined" fendrix /SILENT "tparts\\$tree.h001" tjoined /UNSPLIT)
    diff -rq "$tree" "tjoined/$tree" >/dev/null || { echo "tree join differs!"; exit 1; }
    tt=$(median_time "rm -rf tgnu && mkdir tgnu" sh -c "tar -cf - $tree | split -b 104857600 -a 3 -d - tgnu/t.")
    tu=$(median_time "rm -rf tuntar && mkdir tuntar" sh -c "cat tgnu/t.* | tar -xf - -C tuntar")
    echo "$entries $ts $tj $tt $tu"
}
read -r e5 s5 j5 tt5 tu5 < <(tree_times tree5k)
read -r e50 s50 j50 tt50 tu50 < <(tree_times tree50k)
rm -rf tparts tjoined tgnu tuntar
rs=$(echo "scale=12; r = ($s50 / $e50) / ($s5 / $e5); scale=3; r / 1" | bc -l)
rj=$(echo "scale=12; r = ($j50 / $e50) / ($j5 / $e5); scale=3; r / 1" | bc -l)
row "split per entry, 50k tree (${s50}s, $e50 entries) vs 5k tree (${s5}s, $e5 entries); tar|split: ${tt50}s / ${tt5}s" \
    "$rs x" "<= 1.2 x" "$(meets "$rs" 1.2)"
row "join per entry, 50k tree (${j50}s) vs 5k tree (${j5}s); cat|tar: ${tu50}s / ${tu5}s" \
    "$rj x" "<= 1.2 x" "$(meets "$rj" 1.2)"

# The window's split of the same file against the silent one.
if [ -x "$root/bench/window-split.sh" ]; then
    # The window's few per cent drown in the run-to-run spread of writing
    # 1 GiB unless there are enough rounds.
    window_runs=$((runs < 7 ? 7 : runs))
    read -r tw ts < <("$root/bench/window-split.sh" "$exe" "$scratch" "$window_runs" | tr -d '\r')
    r=$(ratio "$tw" "$ts")
    row "split 1 GiB from the window ${tw}s vs silent ${ts}s" "$r x" "<= 1.1 x" "$(meets "$r" 1.1)"
fi

size=$(stat -c %s "$exe")
row "stripped Fendrix.exe" "$((size / 1024)) KiB" "< 300 KiB" "$([ $size -lt 307200 ] && echo yes || echo NO)"

cd "$root"
{
    echo "# Benchmark results"
    echo
    echo "Taken $(date -u +%Y-%m-%d) on $(nproc) cores, $(free -g | awk '/Mem/ {print $2}') GiB RAM, $(uname -sr)," \
         "Wine $(wine --version 2>/dev/null | sed 's/wine-//'); medians of $runs runs; peers run natively."
    echo
    echo "| measurement | figure | target | met |"
    echo "|---|---|---|---|"
    printf '%s\n' "${results[@]}"
} >bench/results.md
echo
cat bench/results.md
