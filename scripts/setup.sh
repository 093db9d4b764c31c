#!/bin/sh
# Installs what the build and the tests need on a Debian 12 machine.
# Safe to run again: packages already present are left as they are.
set -eu

PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev googletest g++-mingw-w64-x86-64 \
binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick 7zip xxd cksfv rhash locales xfsprogs time bc \
groff-base man-db bash-completion dpkg-dev par2"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

if [ -n "$missing" ]; then
    if [ "$(id -u)" -ne 0 ]; then
        echo "setup: missing packages:$missing (run as root to install them)" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing
fi

# The MinGW compiler comes in two threading flavours; the posix one carries
# std::thread-free code just as well and is the one GoogleTest builds with.
if command -v update-alternatives >/dev/null 2>&1 && [ -e /usr/bin/x86_64-w64-mingw32-g++-posix ]; then
    update-alternatives --set x86_64-w64-mingw32-g++ /usr/bin/x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || true
    update-alternatives --set x86_64-w64-mingw32-gcc /usr/bin/x86_64-w64-mingw32-gcc-posix >/dev/null 2>&1 || true
fi
