#!/bin/sh
# Builds everything and runs every test: the pure code, the engine and the
# native fendrix under the sanitizers, then the Windows program and its
# tests under Wine, and both programs against each other.
set -eu
cd "$(dirname "$0")/.."
./scripts/setup.sh
# Setup has installed everything and this runs as root: no test may skip
# for want of root or of a peer tool.
export FENDRIX_REQUIRE_ALL=1
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native
# The shipped native program builds optimised too.
cmake --preset linux >/dev/null
cmake --build --preset linux -j2
cmake --preset win64 >/dev/null
cmake --build --preset win64
ctest --preset win64
sh tests/package/package-test.sh
