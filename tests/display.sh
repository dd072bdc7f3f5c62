# Sourced: a private Xvfb display, so tests never touch the developer's screen.
#   start_display FOLDER   starts one, records FOLDER/xvfb.pid and
#                          FOLDER/wine-display (":N") and exports DISPLAY
#   stop_display FOLDER    stops the one recorded there
start_display() {
  n=90
  while :; do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      setsid Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
      pid=$!
      # Recorded at once, so that a stop finds it even if the start is interrupted.
      echo "$pid" >"$1/xvfb.pid"
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
  echo ":$n" >"$1/wine-display"
  export DISPLAY=":$n"
}

stop_display() {
  if [ -f "$1/xvfb.pid" ]; then
    kill "$(cat "$1/xvfb.pid")" 2>/dev/null || true
    rm -f "$1/xvfb.pid" "$1/wine-display"
  fi
}
