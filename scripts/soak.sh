#!/bin/sh
# A long run of the random round trip (tests/shared/RoundTrip.h): random
# files and trees, part sizes around the ones the code treats specially,
# random options and damage, through split, verify, repair and join.
#
#   scripts/soak.sh SECONDS [native|both]
#
# native (the default) runs the engine in process under the sanitizers for
# SECONDS; both then runs Fendrix.exe under Wine for SECONDS more. Every
# round prints its seed; a failing one is replayed with
#   FENDRIX_ROUNDTRIP_SEED=N build/native/tests/fendrix_native_tests --gtest_filter=RandomRoundTrip.*
# Set FENDRIX_ROUNDTRIP_BASE to start from a seed of your own choice.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:?usage: scripts/soak.sh SECONDS [native|both]}
forms=${2:-native}
./scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target fendrix_native_tests
FENDRIX_ROUNDTRIP_SECONDS=$seconds build/native/tests/fendrix_native_tests --gtest_filter=RandomRoundTrip.*
if [ "$forms" = both ]; then
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 --target Fendrix fendrix_cli_tests
    cmake/wine-prefix.sh "$PWD/build/win64/wineprefix" "$PWD/build/win64/drives"
    FENDRIX_ROUNDTRIP_SECONDS=$seconds build/win64/wine-run.sh build/win64/tests/fendrix_cli_tests.exe \
        --fendrix="$PWD/build/win64/Fendrix.exe" --gtest_filter=RandomRoundTrip.*
fi
