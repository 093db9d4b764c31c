#!/bin/sh
# Trees as Linux file systems (and shares) hand them to the program: names
# that its own join would refuse or merge, files that never end, directory
# times, and batch files for names that the command interpreter would
# otherwise read as variables. Each case in a scratch directory of its own.
# Usage: UntrustedTrees.sh WINE_RUN FENDRIX_EXE
set -u
wine_run=$(realpath "$1")
fendrix=$(realpath "$2")
work=$(mktemp -d "${TMPDIR:-/tmp}/fx-untrusted.XXXXXX")
trap 'rm -rf "$work"' EXIT

winpath() {
    printf 'Z:%s' "$1" | tr / '\\'
}
failed=0
fail() {
    echo "FAIL $*"
    failed=1
}
split() {
    "$wine_run" "$fendrix" /SILENT "$(winpath "$1")" "$(winpath "$2")" "$3" >/dev/null 2>&1
}
join() {
    "$wine_run" "$fendrix" /SILENT "$(winpath "$1")" "$(winpath "$2")" /UNSPLIT >/dev/null 2>&1
}

# Names the join refuses, and two names that differ only in letter case: the
# split refuses the tree with 9 before it writes anything.
n=0
for names in "nul" "NUL.txt" "com¹" "backup 12:30.log" "trailing. " "A.txt|a.txt" "Dir|dir/x"; do
    n=$((n + 1))
    dir=$work/refuse$n
    mkdir -p "$dir/src" "$dir/parts"
    echo keep >"$dir/src/fine.txt"
    old_ifs=$IFS
    IFS='|'
    for name in $names; do
        mkdir -p "$(dirname "$dir/src/$name")"
        echo "$name" >"$dir/src/$name"
    done
    IFS=$old_ifs
    split "$dir/src" "$dir/parts" /SIZE1000
    rc=$?
    if [ $rc -ne 9 ]; then
        fail "\"$names\": split ended with $rc, not 9"
    elif [ -n "$(ls -A "$dir/parts")" ]; then
        fail "\"$names\": the split wrote $(ls "$dir/parts")"
    else
        echo "ok   \"$names\": refused with 9, nothing written"
    fi
done

# A link to an endless device: the file is read up to the size the scan
# found, so the split ends, within the part limit.
dir=$work/zero
mkdir -p "$dir/src" "$dir/parts" "$dir/out"
echo data >"$dir/src/a.txt"
ln -s /dev/zero "$dir/src/zero"
if ! timeout 60 "$wine_run" "$fendrix" /SILENT "$(winpath "$dir/src")" "$(winpath "$dir/parts")" /SIZE1000 \
    >/dev/null 2>&1; then
    fail "a link to /dev/zero: the split did not end well"
elif [ "$(ls "$dir/parts" | grep -c '\.[0-9]*$')" -gt 2 ]; then
    fail "a link to /dev/zero: $(ls "$dir/parts" | wc -l) files written"
else
    echo "ok   a link to /dev/zero: $(ls "$dir/parts" | tr '\n' ' ')"
fi

# Directory times: every directory of the tree comes back with its own.
dir=$work/times
mkdir -p "$dir/src/a/b/c" "$dir/src/e" "$dir/parts" "$dir/out"
echo x >"$dir/src/a/b/c/f.txt"
echo y >"$dir/src/a/g.txt"
touch -d '2001-02-03 04:05:06' "$dir/src/a/b/c"
touch -d '2002-03-04 05:06:07' "$dir/src/a/b"
touch -d '2003-04-05 06:07:08' "$dir/src/a"
touch -d '2004-05-06 07:08:09' "$dir/src/e"
touch -d '2005-06-07 08:09:10' "$dir/src"
split "$dir/src" "$dir/parts" /SIZE1000 && join "$dir/parts/src.h001" "$dir/out" || fail "directory times: split or join"
for d in src src/a src/a/b src/a/b/c src/e; do
    want=$(stat -c %Y "$dir/$d")
    got=$(stat -c %Y "$dir/out/$d" 2>/dev/null)
    [ "$want" = "$got" ] || fail "directory time of $d: $got, not $want"
done
[ $failed -eq 0 ] && echo "ok   directory times restored"

# Batch files: the command interpreter rebuilds files whose names hold the
# characters it treats specially.
for name in "50% off.zip" "100%x%PATH%.bin" "a&b.bin" "a^b.bin" "a!b.bin" "a,b;c=d.bin"; do
    dir=$work/batch$(printf '%s' "$name" | md5sum | cut -c1-8)
    mkdir -p "$dir/parts"
    head -c 2500 /dev/urandom >"$dir/$name"
    # What the run printed stays, so that a failure says why.
    "$wine_run" "$fendrix" /SILENT "$(winpath "$dir/$name")" "$(winpath "$dir/parts")" /SIZE1000 /BATCH \
        >"$dir/split.log" 2>&1
    rc=$?
    if [ $rc -ne 0 ]; then
        fail "batch \"$name\": split ended with $rc: $(tr '\n' ' ' <"$dir/split.log"; ls "$dir/parts" | tr '\n' ' ')"
        continue
    fi
    # The batch file under a plain name, so that starting it is no test of
    # the command line.
    mv "$dir/parts/${name%.*}.bat" "$dir/parts/rebuild.bat" || { fail "batch \"$name\": no batch file"; continue; }
    (cd "$dir/parts" && "$wine_run" cmd /c rebuild.bat >/dev/null 2>&1)
    if cmp -s "$dir/$name" "$dir/parts/$name"; then
        echo "ok   batch rebuilds \"$name\""
    else
        fail "batch \"$name\": cmd.exe did not rebuild it"
    fi
done
exit $failed
