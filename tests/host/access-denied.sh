#!/bin/sh
# access-denied.sh TEST_EXE: runs the AccessDeniedTest cases of the host tests as
# a user who may not write where they probe. Exit 77 means skipped.
set -eu
. "$(dirname "$0")/../unprivileged.sh"
unprivileged_setup tessaly-host-denied

# A module file the user may read but neither write nor replace, in a folder
# it may not write either (a read-only file alone is no denial).
mkdir "$work/file_dir"
printf 'module bytes' >"$work/file_dir/TYForMsExcel.plgn"
chmod 444 "$work/file_dir/TYForMsExcel.plgn"
chmod 555 "$work/file_dir"
# A folder the user may not write.
mkdir "$work/locked_dir"
chmod 555 "$work/locked_dir"

run_cases "$1" 'AccessDeniedTest.*' 3 \
  TESSALY_DENIED_FILE_DIR="$(winpath "$work/file_dir")" \
  TESSALY_DENIED_DIR="$(winpath "$work/locked_dir")"
