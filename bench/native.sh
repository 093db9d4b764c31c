#!/bin/bash
# The native fendrix against the tools a Linux user has, in the same run on
# the same data, on a tmpfs (the disk's writeback swings timings by a third):
# GNU split, cksfv, cat and tar; GNU split on a loop-mounted XFS with
# reflink; peak memory of a small and a large split. Appends the figures to
# bench/results.md. Not a test: timings vary with the machine. Needs root.
#
#   bench/native.sh [RUNS] [MiB]     (defaults: 7 runs, a 512 MiB file)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-7}
mib=${2:-512}
./scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux -j2 --target fendrix >/dev/null
fx=$root/build/linux/fendrix

work=$(mktemp -d /tmp/fx-bench.XXXXXX)
mnt=$work/tmpfs xfs=$work/xfs
mkdir -p "$mnt" "$xfs"
cleanup() { umount "$xfs" 2>/dev/null || true; umount "$mnt" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
mount -t tmpfs -o size=$((mib * 7 + 1500))m tmpfs "$mnt"
cd "$mnt"

now() { date +%s.%N; }
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# Median seconds of a command string after a preparation string, both
# tools in alternating rounds so that they meet the same machine.
paired() {
    local prepA=$1 cmdA=$2 prepB=$3 cmdB=$4 a=() b=() t0 t1
    for r in $(seq "$runs"); do
        for side in A B; do
            if [ "$side" = A ]; then eval "$prepA"; t0=$(now); eval "$cmdA" >/dev/null 2>&1; t1=$(now); a+=("$(echo "$t1 - $t0" | bc -l)")
            else eval "$prepB"; t0=$(now); eval "$cmdB" >/dev/null 2>&1; t1=$(now); b+=("$(echo "$t1 - $t0" | bc -l)"); fi
        done
    done
    echo "$(median "${a[@]}") $(median "${b[@]}")"
}
rows=()
row() { # label, fendrix, peer, target
    local ratio met
    ratio=$(echo "scale=3; $2 / $3" | bc -l)
    met=$(echo "$ratio <= $4" | bc -l)
    rows+=("| $1: fendrix ${2}s, peer ${3}s | $ratio x | <= $4 x | $([ "$met" = 1 ] && echo yes || echo NO) |")
    echo "${rows[-1]}"
}

head -c $((mib * 1048576)) /dev/urandom >big.bin
for size in 1453568 104857600; do
    label=$([ $size = 1453568 ] && echo "1.44 MB" || echo "100 MiB")
    read -r f g < <(paired "rm -rf p; mkdir p" "$fx split big.bin p --size $size --quiet" \
                           "rm -rf q; mkdir q" "split -b $size -a 3 -d big.bin q/big.bin.")
    row "split $mib MiB with sfv, $label parts vs GNU split" "$f" "$g" 0.75
    read -r f g < <(paired "rm -rf p; mkdir p" "$fx split big.bin p --size $size --quiet" \
                           "rm -rf q; mkdir q" "split -b $size -a 3 -d big.bin q/big.bin. && (cd q && cksfv big.bin.* >big.sfv)")
    row "split $mib MiB with sfv, $label parts vs GNU split + cksfv" "$f" "$g" 0.6
    rm -rf p q; mkdir p; $fx split big.bin p --size $size --quiet
    mkdir -p nosfv && rm -f nosfv/* && for f1 in p/*; do case $f1 in *.sfv) ;; *) ln "$f1" nosfv/;; esac; done
    read -r f g < <(paired "rm -rf o; mkdir o" "$fx join nosfv/big.bin.001 o --quiet" \
                           "rm -f o.bin" "cat p/big.bin.[0-9]* >o.bin")
    row "join $mib MiB without sfv, $label parts vs cat" "$f" "$g" 1.0
    read -r f g < <(paired "rm -rf o; mkdir o" "$fx join p/big.bin.001 o --quiet" \
                           "rm -f o.bin" "(cd p && cksfv -q -f big.bin.sfv) && cat p/big.bin.[0-9]* >o.bin")
    row "join $mib MiB with sfv, $label parts vs cksfv -f + cat" "$f" "$g" 0.6
    read -r f g < <(paired "rm -rf o; mkdir o" "$fx join p/big.bin.001 o --quiet" \
                           "rm -f o.bin" "cat p/big.bin.[0-9]* >o.bin")
    row "join $mib MiB with sfv, $label parts vs cat, which checks nothing" "$f" "$g" 1.0
    rm -rf p o o.bin nosfv q
done

# A tree of 50,000 small files.
mkdir -p tree
for d in $(seq 0 99); do mkdir tree/d$d; for i in $(seq 0 499); do printf '%0*d' $((i % 700 + 1)) 0 >tree/d$d/f$i; done; done
read -r f g < <(paired "rm -rf p; mkdir p" "$fx split tree p --size 104857600 --quiet" \
                       "rm -rf q; mkdir q" "tar -cf - tree | split -b 104857600 -a 3 -d - q/tree.")
row "split tree of 50,000 files vs tar \\| split" "$f" "$g" 1.0
rm -rf q; mkdir q; tar -cf - tree | split -b 104857600 -a 3 -d - q/tree.
read -r f g < <(paired "rm -rf o; mkdir o" "$fx join p/tree.001 o --quiet" \
                       "rm -rf o2; mkdir o2" "cat q/tree.* | tar -x -C o2 -f -")
row "join tree of 50,000 files vs cat \\| tar -x" "$f" "$g" 1.0
rm -rf tree p q o o2

# Reflink: a loop-mounted XFS, where parts can share the source's blocks.
# Its image lies on the tmpfs, so that the disk's writeback stays out.
truncate -s $((mib * 3 + 300))M "$mnt/xfs.img"
mkfs.xfs -q -m reflink=1 "$mnt/xfs.img"
mount -o loop "$mnt/xfs.img" "$xfs"
cp big.bin "$xfs/big.bin"
read -r f g < <(paired "rm -rf $xfs/p; mkdir $xfs/p" "$fx split $xfs/big.bin $xfs/p --size 104857600 --quiet" \
                       "rm -rf $xfs/q; mkdir $xfs/q" "split -b 104857600 -a 3 -d $xfs/big.bin $xfs/q/big.bin.")
row "split $mib MiB, 100 MiB parts, on XFS with reflink vs GNU split" "$f" "$g" 0.3
umount "$xfs"
rm -f "$mnt/xfs.img"

# Peak memory: a sparse file of 256 MiB and one of 4 GiB, split on the disk
# (4 GiB of parts do not fit the tmpfs).
rm -f big.bin
cd "$work"
truncate -s 256M small.sparse; truncate -s 4G large.sparse
# The figure goes to a file of its own: the program's stderr is not mixed in.
mkdir -p m1 m2
/usr/bin/time -o rss1.txt -f %M "$fx" split small.sparse m1 --size 104857600 --quiet >/dev/null 2>&1
/usr/bin/time -o rss2.txt -f %M "$fx" split large.sparse m2 --size 104857600 --quiet >/dev/null 2>&1
k1=$(tail -1 rss1.txt); k2=$(tail -1 rss2.txt); rm -rf m1 m2 rss1.txt rss2.txt
d=$((k2 - k1)); d=${d#-}
rows+=("| peak resident set, split of 256 MiB: $k1 KiB, of 4 GiB: $k2 KiB (sparse inputs) | +-$d KiB | <= +1024 KiB | $([ $d -le 1024 ] && echo yes || echo NO) |")
echo "${rows[-1]}"

cd "$root"
{
    echo
    echo "### Native fendrix (bench/native.sh)"
    echo
    echo "Taken $(date -u +%Y-%m-%d) on $(nproc) cores, $(uname -r); $mib MiB file on a tmpfs; medians of $runs runs, alternating with the peer."
    echo
    echo "| measurement | figure | target | met |"
    echo "|---|---|---|---|"
    printf '%s\n' "${rows[@]}"
} >>bench/results.md
echo "appended to bench/results.md"
