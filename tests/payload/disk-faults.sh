#!/bin/sh
# disk-faults.sh WINE_RUN EXE: runs EXE under Wine with two folders on small
# tmpfs disks that fail writes for real (only when this user may mount one):
# TESSALY_FULL_DIR, with room for item 1 alone, and TESSALY_SMALL_DIR, 300 KiB.
set -u
wine_run=$1
exe=$2
work=$(mktemp -d /tmp/tessaly-faults.XXXXXX)
cleanup() {
  # Lazily when an interrupted Wine process still holds a tmpfs.
  for disk in full small; do
    umount "$work/$disk" 2>/dev/null || umount -l "$work/$disk" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir "$work/full" "$work/small"
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
if mount -t tmpfs -o size=300k tmpfs "$work/small" 2>/dev/null &&
  mount -t tmpfs -o size=300k tmpfs "$work/full" 2>/dev/null; then
  # Filled up but for the three pages that item 1's 10,000 bytes take.
  dd if=/dev/zero of="$work/full/.filler" bs=4096 2>/dev/null
  truncate -s -12288 "$work/full/.filler"
  TESSALY_FULL_DIR=$(windows_path "$work/full")
  TESSALY_SMALL_DIR=$(windows_path "$work/small")
  export TESSALY_FULL_DIR TESSALY_SMALL_DIR
else
  echo "cannot mount a tmpfs here: the disk-fault cases are skipped" >&2
fi
"$wine_run" "$exe"
