#!/bin/sh
# unprivileged-handshake.sh TEST_EXE SETUP_EXE: runs the start-up's handshake case as a
# user who may not write below Program Files. Exit 77 means skipped.
set -eu
. "$(dirname "$0")/../unprivileged.sh"
unprivileged_setup tessaly-startup-user
# Both Program Files of a 64-bit prefix; the setup, a 32-bit program, probes "(x86)".
chmod 555 "$home/prefix/drive_c/Program Files"*
cp "$2" "$work/TessalySetup.exe"
chmod 755 "$work/TessalySetup.exe"
run_cases "$1" 'StartupProcess.ProgramFilesNotWritableGoesThroughTheHandshake' 1 \
  TESSALY_UNPRIVILEGED=1 TESSALY_SETUP_EXE="$(winpath "$work/TessalySetup.exe")"
