#!/bin/sh
# unprivileged-handshake.sh TEST_EXE: runs the start-up's handshake case as a
# user who may not write below Program Files, in a Wine prefix of its own
# (root ignores Unix permissions under Wine). Needs root; exit 77 = skipped.
set -eu
exe=$1
user=tessaly-probe

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: needs root to run Wine as the user $user"
  exit 77
fi
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
fi

work=$(mktemp -d /tmp/tessaly-startup-user.XXXXXX)
home="$work/home"
display=$(cat "$TESSALY_BUILD/wine-display")
as_user() {
  runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" USER="$user" LANG=C \
    DISPLAY="$display" WINEPREFIX="$home/prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" "$@"
}
cleanup() {
  as_user wineserver -k >/dev/null 2>&1 || true
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM
chmod 755 "$work"
mkdir "$home"
chown "$user" "$home"

as_user wineboot -i >/dev/null 2>&1
as_user wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
chmod 555 "$home/prefix/drive_c/Program Files"
status=0
as_user TESSALY_UNPRIVILEGED=1 wine "$exe" \
  --gtest_filter='StartupProcess.ProgramFilesNotWritableGoesThroughTheHandshake' \
  >"$work/out.txt" 2>&1 || status=$?
cat "$work/out.txt"
[ "$status" -eq 0 ] || exit "$status"
if grep -q 'SKIPPED' "$work/out.txt" || ! grep -q 'PASSED  \] 1 test' "$work/out.txt"; then
  echo "the handshake case did not run"
  exit 1
fi
