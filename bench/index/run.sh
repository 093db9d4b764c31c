#!/bin/sh
# Builds the index benchmark, generates trees of 10,000 and 100,000 entries
# from Linux (much faster than through Wine), runs the benchmark under Wine
# and prints, for building and parsing the header text and for the scan, the
# times at both sizes and their ratio, which must stay under 12 (linear cost
# gives 10). Each figure is the best of several runs; exit status 1 when a
# ratio is 12 or more.
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build_dir="$source_dir/build/win64"
runs=${RUNS:-9}

cd "$source_dir"
[ -f "$build_dir/build.ninja" ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 -j2 --target index_bench >/dev/null

prefix="$build_dir/wineprefix"
if [ ! -f "$prefix/system.reg" ]; then
    "$source_dir/cmake/wine-prefix.sh" "$prefix" "$build_dir/drives"
fi

scratch=$(mktemp -d /tmp/fendrix-index-bench.XXXXXX)
trap 'rm -rf "$scratch"' EXIT INT TERM

# Trees of exactly 10,000 and 100,000 entries, each directory's own entry
# included: directories of ten subdirectories with nine files each (sizes up
# to 4 KiB, sparse), the remainder as empty files at the top.
python3 - "$scratch" <<'PY'
import os, sys
root = sys.argv[1]
for count in (10000, 100000):
    top = os.path.join(root, "tree%d" % count)
    os.mkdir(top)
    left = count - 1
    d = 0
    while left >= 101:
        dpath = os.path.join(top, "dir%05d" % d)
        os.mkdir(dpath)
        for s in range(10):
            spath = os.path.join(dpath, "sub%02d" % s)
            os.mkdir(spath)
            for f in range(9):
                with open(os.path.join(spath, "file%d.bin" % f), "wb") as out:
                    out.truncate((d * 97 + s * 13 + f) % 4096)
        left -= 101
        d += 1
    for f in range(left):
        open(os.path.join(top, "loose%d.txt" % f), "wb").close()
PY

bench() { "$build_dir/wine-run.sh" "$build_dir/bench/index_bench.exe" "$@" | tr -d '\r'; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# Prints the smallest value of field $1 over the lines on stdin.
best() { awk -v f="$1" 'NR == 1 || $f < m { m = $f } END { print m }'; }

for n in 10000 100000; do
    : >"$scratch/header$n"
    i=0
    while [ $i -lt "$runs" ]; do
        bench header $n >>"$scratch/header$n"
        i=$((i + 1))
    done
    bench scan "$(winpath "$scratch/tree$n")" >"$scratch/scan$n"
done

status=0
report() {
    what=$1 small=$2 large=$3 count_small=$4 count_large=$5
    ratio=$(awk -v a="$small" -v b="$large" 'BEGIN { printf "%.2f", b / a }')
    verdict=$(awk -v r="$ratio" 'BEGIN { print (r < 12 ? "ok" : "TOO SLOW") }')
    [ "$verdict" = ok ] || status=1
    printf '%-6s %7s entries: %10.2f ms   %7s entries: %10.2f ms   ratio %6s  %s\n' \
        "$what" "$count_small" "$small" "$count_large" "$large" "$ratio" "$verdict"
}
report build "$(best 1 <"$scratch/header10000")" "$(best 1 <"$scratch/header100000")" 10000 100000
report parse "$(best 2 <"$scratch/header10000")" "$(best 2 <"$scratch/header100000")" 10000 100000
report scan "$(best 2 <"$scratch/scan10000")" "$(best 2 <"$scratch/scan100000")" \
    "$(cut -d' ' -f1 <"$scratch/scan10000")" "$(cut -d' ' -f1 <"$scratch/scan100000")"
exit $status
