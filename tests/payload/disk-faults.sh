#!/bin/sh
# disk-faults.sh WINE_RUN EXE: runs EXE under Wine with two folders that fail
# writes for real: TESSALY_FULL_DIR, whose item2.bin.tmp (item 2's temporary
# file) is a link to /dev/full,
# and TESSALY_SMALL_DIR, a 300 KiB tmpfs (only when this user may mount one).
set -u
wine_run=$1
exe=$2
work=$(mktemp -d /tmp/tessaly-faults.XXXXXX)
cleanup() {
  # Lazily when an interrupted Wine process still holds the tmpfs.
  umount "$work/small" 2>/dev/null || umount -l "$work/small" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir "$work/full" "$work/small"
ln -s /dev/full "$work/full/item2.bin.tmp"
windows_path() { printf 'Z:%s' "$1" | sed 's|/|\\|g'; }
TESSALY_FULL_DIR=$(windows_path "$work/full")
export TESSALY_FULL_DIR
if mount -t tmpfs -o size=300k tmpfs "$work/small" 2>/dev/null; then
  TESSALY_SMALL_DIR=$(windows_path "$work/small")
  export TESSALY_SMALL_DIR
else
  echo "cannot mount a tmpfs here: the short-write case is skipped" >&2
fi
"$wine_run" "$exe"
