# Sourced by the tests that need a real "access denied": root ignores Unix
# permissions under Wine, so these run Wine as the unprivileged user
# tessaly-probe, in a Wine prefix and on a display of its own.
#   unprivileged_setup NAME        work folder /tmp/NAME.XXXXXX, user, prefix
#   as_user COMMAND...             runs COMMAND as that user with its Wine settings
#   winpath UNIX_PATH              the path as Wine sees it (drive Z:)
#   run_cases EXE FILTER COUNT [VAR=VALUE...]
#                                  runs the gtest cases FILTER of EXE as that user
#                                  and fails unless exactly COUNT of them passed
# A script that sources this exits 77 (skipped) when it is not run as root, or
# when it asks for a 64-bit prefix without wine64.
user=tessaly-probe

as_user() {
  runuser -u "$user" -- env -i PATH="$PATH" HOME="$home" USER="$user" LC_ALL="$LC_ALL" \
    DISPLAY="$display" WINEPREFIX="$home/prefix" WINEARCH="${WINEARCH:-win32}" WINEDEBUG=-all \
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES" "$@"
}

winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

unprivileged_cleanup() {
  { as_user wineserver -k && as_user wineserver -w; } >/dev/null 2>&1 || true
  remove_server_folder "$home/prefix" /tmp
  stop_display "$work"
  chmod -R u+w "$work" 2>/dev/null || true
  rm -rf "$work"
}

unprivileged_setup() {
  if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: needs root to run Wine as the user $user"
    exit 77
  fi
  . "$(dirname "$0")/../wine-arch.sh"
  . "$(dirname "$0")/../wine-locale.sh"
  . "$(dirname "$0")/../display.sh"
  if ! id -u "$user" >/dev/null 2>&1; then
    useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  fi
  work=$(mktemp -d "/tmp/$1.XXXXXX")
  home="$work/home"
  trap unprivileged_cleanup EXIT
  trap 'exit 1' INT TERM
  # Its own display: the test need not wait for the prefix's display.
  start_display "$work"
  display=$DISPLAY
  chmod 755 "$work"
  mkdir "$home"
  chown "$user" "$home"
  as_user wineboot -i >/dev/null 2>&1
  # Unmanaged windows, as in the run's own prefix: no 2 s wait on each hidden window.
  as_user wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
}

run_cases() {
  exe=$1
  filter=$2
  count=$3
  shift 3
  # A copy the user can reach, whatever the build folder allows.
  cp "$exe" "$work/cases.exe"
  chmod 755 "$work/cases.exe"
  status=0
  as_user "$@" wine "$work/cases.exe" --gtest_filter="$filter" >"$work/out.txt" 2>&1 || status=$?
  cat "$work/out.txt"
  [ "$status" -eq 0 ] || exit "$status"
  # A skip here means the environment did not reach the cases.
  if grep -q 'SKIPPED' "$work/out.txt" || ! grep -q "PASSED  \] $count test" "$work/out.txt"; then
    echo "not all $count cases of $filter ran"
    exit 1
  fi
}
