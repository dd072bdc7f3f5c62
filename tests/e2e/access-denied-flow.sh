#!/bin/sh
# access-denied-flow.sh DRIVER_EXE SETUP_EXE: runs the AccessDenied flow case as an
# unprivileged user with a Wine prefix of its own (root ignores Unix permissions
# under Wine), on the run's display, against a host folder that user may not
# write. Exit 77 means skipped.
set -eu
driver=$1
setup=$2
user=tessaly-probe

if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: needs root to run Wine as the user $user"
  exit 77
fi
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
fi
display=
if [ -n "${TESSALY_BUILD:-}" ] && [ -f "$TESSALY_BUILD/wine-display" ]; then
  display=$(cat "$TESSALY_BUILD/wine-display")
fi
[ -n "$display" ] || { echo "skipped: no display of the run"; exit 77; }

work=$(mktemp -d /tmp/tessaly-flow-denied.XXXXXX)
home="$work/home"
as_user() {
  runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" USER="$user" LANG=C DISPLAY="$display" \
    WINEPREFIX="$home/prefix" WINEDEBUG=-all \
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
cp "$driver" "$work/e2e_flow.exe"
cp "$setup" "$work/TessalySetup.exe"
chmod 755 "$work/e2e_flow.exe" "$work/TessalySetup.exe"
# The host folder: readable, not writable for the user.
mkdir "$work/host"
chmod 555 "$work/host"

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

as_user wineboot -i >/dev/null 2>&1
# Unmanaged windows, as in the run's own prefix: no 2 s wait on each hidden window.
as_user wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
status=0
as_user TESSALY_DENIED_DIR="$(winpath "$work/host")" \
  TESSALY_SETUP_EXE="$(winpath "$work/TessalySetup.exe")" \
  wine "$work/e2e_flow.exe" --gtest_filter='AccessDenied.*' >"$work/out.txt" 2>&1 || status=$?
cat "$work/out.txt"
[ "$status" -eq 0 ] || exit "$status"
if grep -q 'SKIPPED' "$work/out.txt" || ! grep -q 'PASSED  \] 1 test' "$work/out.txt"; then
  echo "the access-denied case did not run"
  exit 1
fi
