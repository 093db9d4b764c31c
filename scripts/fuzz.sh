#!/bin/sh
# A bounded fuzz run of the pure code (libFuzzer with AddressSanitizer and
# UBSan). Each target runs for SECONDS (default 30); inputs that reach new
# code are merged into the committed corpora under tests/fuzz/corpus, and a
# crash leaves its input in build/fuzz/findings.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}
./scripts/setup.sh
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DFENDRIX_SANITIZE=ON -DFENDRIX_FUZZ=ON >/dev/null
targets="${FUZZ_TARGETS:-ParseHeader HeaderRoundTrip ParseInt64 ArgumentSplit PathText EntryNames HeaderNames SfvText Crc32 ParityText Par2Packets}"
for t in $targets; do
    cmake --build build/fuzz --target "fuzz_$t" -j2 >/dev/null
done
mkdir -p build/fuzz/findings
status=0
for t in $targets; do
    corpus=tests/fuzz/corpus/$t
    fresh=build/fuzz/new/$t
    rm -rf "$fresh"
    mkdir -p "$fresh"
    echo "== $t ($seconds s)"
    if ! build/fuzz/tests/fuzz_$t "$fresh" "$corpus" -max_total_time="$seconds" -max_len=4096 \
        -artifact_prefix=build/fuzz/findings/"$t"- -print_final_stats=1 2>build/fuzz/$t.log; then
        status=1
        echo "   FOUND A FAULT: see build/fuzz/$t.log and build/fuzz/findings"
    fi
    grep -E 'stat::number_of_executed_units|stat::peak_rss' build/fuzz/$t.log | sed 's/^/   /'
    build/fuzz/tests/fuzz_$t -merge=1 "$corpus" "$fresh" 2>/dev/null >/dev/null || true
    echo "   corpus: $(ls "$corpus" | wc -l) inputs"
done
exit $status
