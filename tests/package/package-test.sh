#!/bin/sh
# The Debian package of the native program as a user gets it: scripts/
# package.sh builds it, the same bytes each time; its paths and control
# fields are the expected ones; unpacked into a scratch root, the program in it splits with --copy
# and joins back the same bytes, with the packaged Fendrix.exe beside the
# parts; the manual page renders without warnings and the completion
# completes verbs and options.
# Usage: tests/package/package-test.sh (from anywhere; needs the win64 build)
set -u
cd "$(dirname "$0")/../.."
top=$(pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-package.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
failed=0
fail() {
    echo "FAIL $*"
    failed=1
}

# The source page, as its developers check it.
warnings=$(groff -man -ww -z docs/fendrix.1 2>&1)
[ -z "$warnings" ] || fail "groff warns about docs/fendrix.1: $warnings"

# Without the Windows program the script stops, and says what to build.
mkdir -p "$work/bare/scripts"
cp scripts/package.sh "$work/bare/scripts/"
message=$(sh "$work/bare/scripts/package.sh" 2>&1)
rc=$?
[ "$rc" -ne 0 ] || fail "package.sh without Fendrix.exe exited 0"
case $message in
*"win64"*) ;;
*) fail "package.sh without Fendrix.exe does not name the win64 build: $message" ;;
esac

out=$(scripts/package.sh) || {
    echo "FAIL scripts/package.sh exited $?"
    exit 1
}
deb=$(printf '%s\n' "$out" | tail -n 1)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/linux/CMakeCache.txt)
arch=$(dpkg --print-architecture)
[ "$deb" = "$top/build/package/fendrix_${version}_${arch}.deb" ] || fail "package is $deb, not fendrix_${version}_${arch}.deb"
[ -f "$deb" ] || {
    echo "FAIL no package at $deb"
    exit 1
}

# One commit makes one package, whatever the files' times.
cp "$deb" "$work/first.deb"
touch docs/fendrix.1 resources/completion/fendrix
scripts/package.sh >/dev/null || fail "the second scripts/package.sh exited $?"
cmp -s "$work/first.deb" "$deb" || fail "a second package.sh of the same commit made a different package"

# Every path, and nothing else, owned by root.
cat >"$work/expected" <<'EOF'
./
./usr/
./usr/bin/
./usr/bin/Fendrix.exe
./usr/bin/fendrix
./usr/share/
./usr/share/bash-completion/
./usr/share/bash-completion/completions/
./usr/share/bash-completion/completions/fendrix
./usr/share/doc/
./usr/share/doc/fendrix/
./usr/share/doc/fendrix/copyright
./usr/share/man/
./usr/share/man/man1/
./usr/share/man/man1/fendrix.1.gz
EOF
dpkg-deb -c "$deb" >"$work/contents"
awk '{ print $6 }' "$work/contents" | sort >"$work/paths"
sort -o "$work/expected" "$work/expected"
diff -u "$work/expected" "$work/paths" >"$work/diff" || fail "package paths differ from the expected ones:
$(cat "$work/diff")"
awk '$2 != "root/root"' "$work/contents" | grep . && fail "entries above are not owned by root/root"

field() { dpkg-deb -f "$deb" "$1"; }
check_field() {
    value=$(field "$1")
    [ "$value" = "$2" ] || fail "control field $1 is '$value', not '$2'"
}
check_field Package fendrix
check_field Version "$version"
check_field Architecture "$arch"
check_field Section utils
check_field Priority optional
field Maintainer | grep -Eq '^[^<]+ <[^@>]+@[^>]+>$' || fail "Maintainer '$(field Maintainer)' is no 'Name <address>'"
[ -n "$(field Description)" ] || fail "no Description"
# Each library the program loads comes from a package that Depends names.
depends=$(field Depends)
for lib in $(ldd build/linux/fendrix | awk '$2 == "=>" { print $3 } $1 ~ /^\// { print $1 }'); do
    real=$(realpath "$lib")
    owner=
    for path in "$lib" "$real" "${real#/usr}"; do
        owner=$(dpkg -S "$path" 2>/dev/null | head -n 1 | cut -d: -f1) && [ -n "$owner" ] && break
    done
    [ -n "$owner" ] || fail "no package owns $lib"
    case ", $depends" in
    *", $owner "* | *", $owner,"* | *", $owner") ;;
    *) fail "Depends '$depends' lacks $owner, which holds $lib" ;;
    esac
done

root=$work/root
dpkg-deb -x "$deb" "$root"
fendrix=$root/usr/bin/fendrix
ldd "$fendrix" | grep 'not found' && fail "the packaged fendrix misses libraries"
got=$("$fendrix" --version)
[ "$got" = "fendrix $version" ] || fail "--version prints '$got', not 'fendrix $version'"
cmp -s "$root/usr/bin/Fendrix.exe" build/win64/Fendrix.exe || fail "the packaged Fendrix.exe is not build/win64/Fendrix.exe"

# A split and join of a few MiB, through the packaged program only.
mkdir -p "$work/parts" "$work/out"
head -c 3157000 /dev/urandom >"$work/data.bin"
"$fendrix" split "$work/data.bin" "$work/parts" --size 1M --copy --quiet || fail "split exited $?"
for name in data.bin.001 data.bin.004 data.bin.h001 data.bin.sfv; do
    [ -f "$work/parts/$name" ] || fail "split wrote no $name"
done
cmp "$root/usr/bin/Fendrix.exe" "$work/parts/Fendrix.exe" || fail "--copy did not put the packaged Fendrix.exe beside the parts"
"$fendrix" join "$work/parts/data.bin.002" "$work/out" --quiet || fail "join exited $?"
cmp "$work/data.bin" "$work/out/data.bin" || fail "the joined file differs from the source"
# The same through pipes, and the listing of what the pipe made.
mkdir "$work/piped"
"$fendrix" split - "$work/piped" --name data.bin -qs 1M <"$work/data.bin" || fail "split of standard input exited $?"
"$fendrix" join "$work/piped/data.bin.001" - | cmp - "$work/data.bin" || fail "the join to standard output differs"
"$fendrix" list "$work/piped/data.bin.001" | head -n 1 | grep -q '^f 3157000 .* data.bin$' ||
    fail "list shows '$("$fendrix" list "$work/piped/data.bin.001")'"

# The installed page, as man shows it.
page=$root/usr/share/man/man1/fendrix.1.gz
gzip -dc "$page" | cmp -s - docs/fendrix.1 || fail "the packaged manual page is not docs/fendrix.1"
MANWIDTH=80 man --warnings -l "$page" >"$work/man.txt" 2>"$work/man.err" || fail "man -l exited $?"
[ -s "$work/man.err" ] && fail "man warns: $(cat "$work/man.err")"
for verb in split join verify list; do
    grep -q "fendrix $verb" "$work/man.txt" || fail "the rendered page has no 'fendrix $verb'"
done

# The completion, on its own and under bash-completion as a shell loads it.
completion=$root/usr/share/bash-completion/completions/fendrix
touch "$work/parts/Zeta.bin"
complete_words() {
    # $1: a script to source first, or "" ; then the words, the last being completed.
    preload=$1
    shift
    (cd "$work/parts" && bash -c '
        [ -z "$1" ] || . "$1"
        . "$2"
        shift 2
        COMP_WORDS=("$@")
        COMP_CWORD=$(($# - 1))
        _fendrix
        printf "%s\n" "${COMPREPLY[@]}"' complete "$preload" "$completion" "$@")
}
expect_completion() {
    wanted=$1
    shift
    for preload in "" /usr/share/bash-completion/bash_completion; do
        replies=$(complete_words "$preload" "$@" | tr '\n' ' ')
        case " $replies" in
        *" $wanted "*) ;;
        *) fail "'$*' completes to '$replies', without '$wanted' (${preload:-without bash-completion})" ;;
        esac
    done
}
[ "$(complete_words "" fendrix sp)" = split ] || fail "'fendrix sp' completes to '$(complete_words "" fendrix sp)', not split"
expect_completion split fendrix sp
expect_completion --parity fendrix split --pa
expect_completion dvd fendrix split --size d
expect_completion --repair fendrix verify --re
expect_completion Zeta.bin fendrix split Ze

if [ "$failed" -ne 0 ]; then
    echo "package test: FAILED"
    exit 1
fi
echo "package test: passed"
