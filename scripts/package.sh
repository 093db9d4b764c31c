#!/bin/sh
# Builds the Debian package of the native program,
# build/package/fendrix_VERSION_ARCH.deb: fendrix with Fendrix.exe beside it
# (for --copy), the manual page, the bash completion and the copyright file.
# The native program is built with the linux preset where it is out of date;
# Fendrix.exe must already be built by the win64 preset.
# Prints the package's path as its last line.
set -eu
cd "$(dirname "$0")/.."
top=$(pwd)

fail() {
    echo "package: $*" >&2
    exit 1
}

exe=$top/build/win64/Fendrix.exe
[ -f "$exe" ] || fail "$exe not found: build the Windows program first (cmake --preset win64 && cmake --build --preset win64)"
for tool in dpkg dpkg-deb dpkg-shlibdeps gzip; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool not found: run scripts/setup.sh"
done

version=$(sed -n 's/^project([^)]*VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no project(... VERSION ...) in CMakeLists.txt"
arch=$(dpkg --print-architecture)

# The cache must name the same Fendrix.exe as the check above, whatever an
# earlier configure was given.
cmake --preset linux -DFENDRIX_WINDOWS_PROGRAM="$exe" >/dev/null
cmake --build --preset linux -j2

# The staging root is laid out as a source package's, debian/PACKAGE, where
# dpkg-shlibdeps looks for it.
out=$top/build/package
stage=$out/debian/fendrix
rm -rf "$out/debian"
mkdir -p "$stage"
umask 022
DESTDIR=$stage cmake --install build/linux --prefix /usr --strip >/dev/null

doc=$stage/usr/share/doc/fendrix
mkdir -p "$doc"
# The repository has no licence file: the package claims no more than the
# sources do.
cat >"$doc/copyright" <<'EOF'
Fendrix

Copyright the Fendrix developers.

The Fendrix sources carry no licence file: all rights are reserved by the
Fendrix developers.
EOF
# Whatever the umask of the files' origin: directories and programs 0755,
# everything else 0644.
chmod -R u=rwX,go=rX "$stage"

# As dpkg-gencontrol counts it: each file in KiB rounded up, one for any
# other entry.
size=$(find "$stage" -mindepth 1 -printf '%y %s\n' |
       awk '{ n += $1 == "f" ? int(($2 + 1023) / 1024) : 1 } END { print n }')

# dpkg-shlibdeps reads debian/control, and finds the package's root by its
# DEBIAN directory.
mkdir -p "$stage/DEBIAN"
printf 'Source: fendrix\n\nPackage: fendrix\nArchitecture: any\n' >"$out/debian/control"
depends=$(cd "$out" && dpkg-shlibdeps -O "$stage/usr/bin/fendrix" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || fail "dpkg-shlibdeps found no libraries for fendrix"

cat >"$stage/DEBIAN/control" <<EOF
Package: fendrix
Version: $version
Architecture: $arch
Maintainer: ${DEBFULLNAME:-Fendrix developers} <${DEBEMAIL:-maintainers@users.noreply.c-seed-0ddb5e9b.example}>
Installed-Size: $size
Depends: $depends
Section: utils
Priority: optional
Description: split files and directory trees into parts, and join them
 fendrix cuts a file, a directory tree or standard input into numbered
 parts of a chosen size (diskette, CD, DVD or any size) with header files
 that record every file and directory, an SFV checksum file and, on request,
 a parity file that rebuilds any one lost part. It joins, verifies, repairs
 and lists such sets. The sets are those of the Windows program Fendrix.exe,
 which the package installs beside fendrix so that a split can put it next
 to the parts.
EOF

# Every time in the archive is the commit's, whenever its files were built
# or checked out: one commit makes one package, byte for byte.
if [ -z "${SOURCE_DATE_EPOCH:-}" ] && epoch=$(git log -1 --format=%ct 2>/dev/null); then
    SOURCE_DATE_EPOCH=$epoch
fi
if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    export SOURCE_DATE_EPOCH
    find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
fi

deb=$out/fendrix_${version}_${arch}.deb
rm -f "$deb"
dpkg-deb --root-owner-group --build "$stage" "$deb" >/dev/null
echo "$deb"
