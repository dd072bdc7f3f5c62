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
build=$2
export WINEPREFIX="$build/wineprefix"
# A 32-bit Windows unless the caller asks for the 64-bit layout (wine64 installed).
export WINEARCH="${WINEARCH:-win32}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
. "$(dirname "$0")/wine-locale.sh"

stop_all() {
  wineserver -k 2>/dev/null || true
  if [ -f "$build/xvfb.pid" ]; then
    kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
    rm -f "$build/xvfb.pid" "$build/wine-display"
  fi
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
  # A display of our own, so tests never touch the developer's screen.
  n=90
  while :; do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
      pid=$!
      # Recorded at once, so that cleanup finds it even if this set-up is interrupted.
      echo "$pid" >"$build/xvfb.pid"
      i=0
      while [ ! -e "/tmp/.X11-unix/X$n" ] && kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do
        sleep 0.1
        i=$((i + 1))
      done
      # Another run may have taken the same number a moment earlier.
      if kill -0 "$pid" 2>/dev/null; then break; fi
    fi
    n=$((n + 1))
  done
  echo ":$n" >"$build/wine-display"
  export DISPLAY=":$n"
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
      # Wine reads the scale when its server starts.
      wineserver -k
      wineserver -w
    fi
  fi
  # Keep a wineserver and one Wine process alive, detached from CTest's pipes,
  # so each test starts in ~0.2 s instead of ~1.5 s, also after the minutes
  # that other prefixes' tests take in a parallel run; cleanup stops it.
  setsid wineserver -p300 </dev/null >/dev/null 2>&1 || true
  setsid wine cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
  # Calls to another process's COM objects (the desktop's shell) need the RPC
  # service, which a new prefix refuses to start (error 1055) until its first
  # services have started: start it now, before any test depends on it.
  i=0
  until [ "${TESSALY_RPCSS:-}" = no ] || wine sc query rpcss 2>/dev/null | grep -q RUNNING ||
    [ $i -ge 30 ]; do
    wine sc start rpcss </dev/null >/dev/null 2>&1 || sleep 1
    i=$((i + 1))
  done
  echo "$made_for" >"$stamp"
  echo "Wine prefix ${reuse:+(made earlier) }ready in $WINEPREFIX on display :$n"
  ;;
cleanup)
  stop_all
  ;;
*)
  echo "usage: $0 setup|cleanup BUILD" >&2
  exit 2
  ;;
esac
