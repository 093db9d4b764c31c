#!/bin/sh
# A small read-only disk for the file-stream tests: a tmpfs that holds
# readonly.txt ("keep me") and is then mounted read-only. Under Wine the
# read-only attribute does not stop root from writing; a read-only mount
# does. Without root there is nothing to mount, and the attribute alone
# protects the file for that user.
#   readonly-disk.sh setup DIR | cleanup DIR
set -u
action=$1
dir=$2
case $action in
setup)
    [ "$(id -u)" -eq 0 ] || { echo "not root: no read-only disk needed"; exit 0; }
    umount "$dir" 2>/dev/null
    mkdir -p "$dir" || exit 1
    mount -t tmpfs -o size=64k tmpfs "$dir" || { echo "mount of the read-only disk failed"; exit 1; }
    printf 'keep me' >"$dir/readonly.txt" || exit 1
    mount -o remount,ro "$dir" || { echo "remount read-only failed"; exit 1; }
    ;;
cleanup)
    [ "$(id -u)" -eq 0 ] || exit 0
    umount "$dir" 2>/dev/null
    rmdir "$dir" 2>/dev/null
    ;;
esac
exit 0
