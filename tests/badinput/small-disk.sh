#!/usr/bin/env bash
# Mounts (or unmounts) a 64 KiB tmpfs for the full-disk cases of the bad-input
# suite. Mounting needs root; without it the folder stays an ordinary folder
# with a note saying why, and those cases skip with that reason.
#
#   small-disk.sh mount DIR     small-disk.sh unmount DIR
set -u
dir=$2
case "$1" in
mount)
    mountpoint -q "$dir" 2>/dev/null && umount "$dir" 2>/dev/null
    rm -rf "$dir" "$dir.why"
    mkdir -p "$dir"
    if why=$(mount -t tmpfs -o size=64k,mode=0777 tmpfs "$dir" 2>&1); then
        echo "tmpfs 64k" > "$dir/.small-disk"
    else
        echo "mount -t tmpfs failed (${why:-needs root})" > "$dir.why"
    fi
    ;;
unmount)
    mountpoint -q "$dir" 2>/dev/null && umount "$dir"
    rm -rf "$dir" "$dir.why"
    ;;
esac
exit 0
