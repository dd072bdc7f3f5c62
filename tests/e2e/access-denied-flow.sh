#!/bin/sh
# access-denied-flow.sh DRIVER_EXE SETUP_EXE: runs the AccessDenied flow case as a
# user who may not write the host folder. Exit 77 means skipped.
set -eu
. "$(dirname "$0")/../unprivileged.sh"
unprivileged_setup tessaly-flow-denied

cp "$2" "$work/TessalySetup.exe"
chmod 755 "$work/TessalySetup.exe"
# The host folder: readable, not writable for the user.
mkdir "$work/host"
chmod 555 "$work/host"
run_cases "$1" 'AccessDenied.*' 1 \
  TESSALY_DENIED_DIR="$(winpath "$work/host")" \
  TESSALY_SETUP_EXE="$(winpath "$work/TessalySetup.exe")"
