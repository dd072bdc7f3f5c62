#!/bin/sh
# Builds the installer and every test, checks that a second build of the
# installer is the same to the byte, then runs the tests under Wine + Xvfb.
set -eu
. "$(dirname "$0")/own-group.sh"
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
# unmount_below FOLDER: the flow tests' small disks that a killed test left mounted.
unmount_below() {
  awk '{ print $2 }' /proc/self/mounts | while IFS= read -r target; do
    # The mount table writes a space or a tab in a name as \040 or \011.
    target=$(printf '%b' "$(printf '%s' "$target" | sed 's/\\\([0-7]\)/\\0\1/g')")
    case $target in "$1"/*) umount -l "$target" ;; esac
  done
}
# CTest's clean-up fixtures do not run when it is interrupted: stop the Wine
# prefixes and displays of the run here, and undo the disk faults' mounts.
interrupted() {
  for d in "$build" "$build/win64" "$build/dpi144"; do sh tests/wine-prefix.sh cleanup "$d" || true; done
  unmount_below "$(cd "$build" && pwd)"
  exit "$1"
}
trap 'interrupted 130' INT
trap 'interrupted 143' TERM
sh scripts/configure.sh "$build"
cmake --build "$build" -j"$(nproc)"
sh scripts/check-reproducible.sh "$build"
# Tests of different prefixes, and those that need no Wine, run side by side.
TESSALY_FRESH_PREFIX=1 ctest --test-dir "$build" -j"$(nproc)" --output-on-failure "$@"
