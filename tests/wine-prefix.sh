#!/bin/sh
# setup FOLDER: a fresh Wine prefix and a private Xvfb display for one test run,
# kept in FOLDER (the build folder, or one of its own for the 64-bit layout or
# another display scale).
# cleanup FOLDER: stop the prefix's wineserver and the display.
# TESSALY_LOGPIXELS (e.g. 144 for 150 %) sets the prefix's display scale;
# TESSALY_RPCSS=no (the demo, which makes no COM calls between processes) skips the
# 15-20 s wait for the RPC service.
# A prefix made earlier for the same layout and scale is used again, so a
# targeted ctest run pays the prefix once per build folder;
# TESSALY_FRESH_PREFIX=1 (the full test command) always makes a new one.
set -eu
action=$1
# Absolute: wineserver refuses a relative WINEPREFIX.
case $2 in /*) build=$2 ;; *) build="$(pwd)/$2" ;; esac
export WINEPREFIX="$build/wineprefix"
# A 32-bit Windows unless the caller asks for the 64-bit layout (wine64 installed).
export WINEARCH="${WINEARCH:-win32}"
export WINEDEBUG=-all
. "$(dirname "$0")/wine-locale.sh"
. "$(dirname "$0")/display.sh"

start_rpcss() {
  i=0
  until [ "${TESSALY_RPCSS:-}" = no ] || wine sc query rpcss 2>/dev/null | grep -q RUNNING ||
    [ $i -ge 30 ]; do
    wine sc start rpcss </dev/null >/dev/null 2>&1 || sleep 1
    i=$((i + 1))
  done
}

status=0
stop_all() {
  # wineserver -k fails quietly when no server runs, with a message when it cannot stop one.
  if ! refusal=$(wineserver -k 2>&1) && [ -n "$refusal" ]; then
    echo "could not stop the Wine server of $WINEPREFIX: $refusal" >&2
    status=1
  else
    wineserver -w 2>/dev/null || true
    remove_server_folder "$WINEPREFIX"
  fi
  rm -f "$build/keep-alive"
  stop_display "$build"
}

case "$action" in
setup)
  . "$(dirname "$0")/wine-arch.sh"
  mkdir -p "$build"
  wine_location_check "$(cd "$build" && pwd)"
  stop_all
  made_for="$WINEARCH ${TESSALY_LOGPIXELS:-96}"
  stamp="$WINEPREFIX/.made-for"
  reuse=""
  if [ -z "${TESSALY_FRESH_PREFIX:-}" ] && [ "$(cat "$stamp" 2>/dev/null)" = "$made_for" ]; then
    reuse=1
  else
    rm -rf "$WINEPREFIX"
  fi
  start_display "$build"
  if [ -z "$reuse" ]; then
    if ! wineboot -i >"$build/wineboot.log" 2>&1; then
      echo "Wine could not make the prefix $WINEPREFIX:" >&2
      cat "$build/wineboot.log" >&2
      exit 1
    fi
    # This Wine does not find its own font folder: without these, "MS Sans Serif"
    # and "Tahoma" fall back to DejaVu Sans and every text measure changes.
    cp /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Without a window manager Wine waits ~2 s on every hidden window unless unmanaged.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    if [ -n "${TESSALY_LOGPIXELS:-}" ]; then
      for key in 'HKCU\Control Panel\Desktop' \
        'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        wine reg add "$key" /v LogPixels /t REG_DWORD /d "$TESSALY_LOGPIXELS" /f >/dev/null 2>&1
      done
    fi
    # Calls to another process's COM objects (the desktop's shell) need the RPC
    # service, which a new prefix refuses to start (error 1055) until its first
    # services have started. (Started beside the first tests instead, it once
    # left every later test that made a window taking ~22 s instead of ~1 s.)
    start_rpcss
    # Started again from here: Wine reads the scale when its server starts, and
    # a desktop started before the RPC service never serves its shell to others.
    wineserver -k
    wineserver -w
  fi
  # Keep the wineserver, the prefix's services and its desktop running between
  # tests: a Wine program that waits for ever on a pipe nobody writes, detached
  # from CTest's pipes. Each test then starts in ~0.1 s instead of ~3 s in a
  # parallel run; cleanup's wineserver -k ends it.
  setsid wineserver -p300 </dev/null >/dev/null 2>&1 || true
  rm -f "$build/keep-alive"
  mkfifo "$build/keep-alive"
  setsid sh -c 'exec wine cmd <>"$1"' sh "$build/keep-alive" >/dev/null 2>&1 &
  start_rpcss
  # The desktop too, which Wine starts at a process's first window: started by
  # a test, it would hold that test's output open, and CTest wait for it to the
  # time-out. A first window here (rundll32 makes a hidden one) starts it, after
  # the RPC service, so that its shell can serve other processes.
  setsid wine rundll32.exe user32.dll,MessageBeep </dev/null >/dev/null 2>&1 || true
  echo "$made_for" >"$stamp"
  echo "Wine prefix ${reuse:+(made earlier) }ready in $WINEPREFIX on display :$n"
  ;;
cleanup)
  stop_all
  exit $status
  ;;
*)
  echo "usage: $0 setup|cleanup BUILD" >&2
  exit 2
  ;;
esac
