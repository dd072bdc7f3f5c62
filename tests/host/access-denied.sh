#!/bin/sh
# access-denied.sh TEST_EXE: runs the AccessDeniedTest cases of the host tests as
# an unprivileged user with a Wine prefix of its own, since root ignores Unix
# permissions under Wine. Creates the user when missing (needs root) and removes
# everything else it makes. Exit 77 means skipped.
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

work=$(mktemp -d /tmp/tessaly-host-denied.XXXXXX)
home="$work/home"
as_user() {
  runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" USER="$user" LANG=C DISPLAY= \
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
# The exe is copied where the user can reach it, whatever the build folder allows.
cp "$exe" "$work/host_tests.exe"
chmod 755 "$work/host_tests.exe"

# A module file the user may read but not write, in a folder it may write.
mkdir "$work/file_dir"
chown "$user" "$work/file_dir"
printf 'module bytes' >"$work/file_dir/TYForMsExcel.plgn"
chmod 444 "$work/file_dir/TYForMsExcel.plgn"
# A folder the user may not write.
mkdir "$work/locked_dir"
chmod 555 "$work/locked_dir"

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

as_user wineboot -i >/dev/null 2>&1
status=0
as_user TESSALY_DENIED_FILE_DIR="$(winpath "$work/file_dir")" \
  TESSALY_DENIED_DIR="$(winpath "$work/locked_dir")" \
  wine "$work/host_tests.exe" --gtest_filter='AccessDeniedTest.*' >"$work/out.txt" 2>&1 || status=$?
cat "$work/out.txt"
if [ "$status" -ne 0 ]; then
  exit "$status"
fi
# Every case must have run: a skip here means the environment did not reach them.
if grep -q 'SKIPPED' "$work/out.txt" || ! grep -q 'PASSED  \] 3 tests' "$work/out.txt"; then
  echo "not all three access-denied cases ran"
  exit 1
fi
