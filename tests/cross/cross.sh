#!/bin/sh
# Both programs make the same sets and join each other's: for a file (with
# its batch file), a tree with code page 1252 names and one with names of
# many scripts, with times to the millisecond, the native fendrix and
# Fendrix.exe under Wine write sets that are byte for byte the same, and
# each joins the other's set back into the same files, names and times.
# Usage: cross.sh WINE_RUN FENDRIX_EXE NATIVE_FENDRIX
set -u
wine_run=$(realpath "$1")
exe=$(realpath "$2")
native=$(realpath "$3")
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-cross.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
failed=0
fail() { echo "FAIL $*"; failed=1; }
# Every file and directory below a root with its size and time to the
# millisecond; files with their checksum.
listing() {
    (cd "$1" && find . -mindepth 1 -printf '%y|%P|%TY-%Tm-%Td %TH:%TM:%TS\n' | sed 's/\(\.[0-9][0-9][0-9]\)[0-9]*$/\1/' | sort
     find . -type f -print0 | sort -z | xargs -0 -r md5sum)
}

src=$work/src
mkdir -p "$src/tree/Ünterordner/tief" "$src/tree/leer"
head -c 3000000 /dev/urandom >"$src/café.bin"
head -c 700000 /dev/urandom >"$src/tree/straße.dat"
head -c 1234 /dev/urandom >"$src/tree/Ünterordner/über é.txt"
: >"$src/tree/Ünterordner/tief/leer.txt"
head -c 99999 /dev/urandom >"$src/tree/Ünterordner/tief/€uro 100%.bin"
# Names of many scripts, in an order where UTF-8 bytes and upper-cased
# UTF-16 code units disagree (the emoji and the fullwidth letters).
mkdir -p "$src/scripts/Кириллица" "$src/scripts/日本語"
for name in "Кира.txt" "Њира.txt" "σοφία.txt" "ΣΟΦΊΑ2.txt" "日本語/文書.txt" "ｆｕｌｌ.txt" "😀.bin" "🎉 party.txt" \
            "Кириллица/ёлка" "é.txt" "b.TXT" "A.txt"; do
    head -c $((${#name} * 1000)) /dev/urandom >"$src/scripts/$name"
done
i=0
find "$src" -mindepth 1 -depth | while read -r path; do
    i=$((i + 1))
    touch -d "2021-03-0$((i % 9 + 1)) 0$((i % 10)):1$((i % 10)):2$((i % 10)).$((i * 37 % 1000))" "$path"
done

case_run() { # label, source name, size, batch file (yes/no), recovery volumes (or none)
    label=$1 name=$2 size=$3 batch=$4 recovery=${5:-}
    n=$work/$label-native w=$work/$label-windows
    mkdir -p "$n" "$w"
    if [ "$batch" = yes ]; then nb=--batch; wb=/BATCH; else nb=; wb=; fi
    if [ -n "$recovery" ]; then nb="$nb --recovery $recovery"; wb="$wb /RECOVERY$recovery"; fi
    "$native" split "$src/$name" "$n" --size "$size" $nb --quiet || fail "$label: native split ended with $?"
    "$wine_run" "$exe" /SILENT "$(winpath "$src/$name")" "$(winpath "$w")" /SIZE"$size" $wb >/dev/null 2>&1 ||
        fail "$label: Windows split ended with $?"
    # The same set, byte for byte: parts, header files, sfv and batch file.
    if ! diff -r "$n" "$w" >/dev/null; then
        fail "$label: the sets differ"
        diff -r "$n" "$w" | head -5
    fi
    [ "$(ls "$n" | wc -l)" -ge 3 ] || fail "$label: too few files in the set"
    first=$(ls "$n" | grep '\.001$')
    # Each program joins the other's set.
    mkdir -p "$work/$label-by-native" "$work/$label-by-windows"
    "$native" join "$w/$first" "$work/$label-by-native" --quiet || fail "$label: native join of the Windows set ended with $?"
    "$wine_run" "$exe" /SILENT "$(winpath "$n/$first")" "$(winpath "$work/$label-by-windows")" /UNSPLIT >/dev/null 2>&1 ||
        fail "$label: Windows join of the native set ended with $?"
    mkdir -p "$work/$label-orig" && cp -a "$src/$name" "$work/$label-orig/"
    expected=$(listing "$work/$label-orig")
    [ "$expected" = "$(listing "$work/$label-by-native")" ] || fail "$label: native join differs"
    [ "$expected" = "$(listing "$work/$label-by-windows")" ] || fail "$label: Windows join differs"
    "$native" verify "$w/$first" || fail "$label: native verify of the Windows set ended with $?"
    if [ -n "$recovery" ]; then
        (cd "$w" && par2 verify -q -q "$name.par2" >/dev/null 2>&1 && [ "$(ls ./*.vol*.par2 | wc -l)" -ge "$recovery" ]) ||
            fail "$label: par2 does not accept the Windows program's recovery files"
    fi
}

case_run file café.bin 1000000 yes
case_run tree tree 300000 no
case_run tree-floppy tree 1453568 no
case_run scripts scripts 5000 no
case_run recovery tree 65537 no 2
# The header holds the names in code page 1252, as the Windows program
# writes them: "straße" with 0xDF, "Ü" with 0xDC.
grep -q "$(printf 'stra\337e.dat')" "$work/tree-native/tree.h001" || grep -qa "$(printf 'stra\337e')" "$work"/tree-native/tree.h* ||
    fail "header names are not code page 1252"
[ $failed -eq 0 ] && echo "cross: both programs write and join the same sets"
exit $failed
