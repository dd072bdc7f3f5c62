# Sourced: a private Xvfb display, so tests never touch the developer's screen.
#   start_display FOLDER   starts one, records FOLDER/xvfb.pid and
#                          FOLDER/wine-display (":N") and exports DISPLAY
#   stop_display FOLDER    stops the one recorded there, and waits for it to end
start_display() {
  rm -f "$1/xvfb.number"
  # Xvfb takes the lowest free display number itself, so displays started side
  # by side never share one, and writes it to fd 3 once it accepts clients.
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$1/xvfb.number" </dev/null >/dev/null 2>&1 &
  # Recorded at once, so that a stop finds it even if the start is interrupted.
  echo $! >"$1/xvfb.pid"
  i=0
  while [ ! -s "$1/xvfb.number" ] && kill -0 "$(cat "$1/xvfb.pid")" 2>/dev/null && [ $i -lt 100 ]; do
    sleep 0.1
    i=$((i + 1))
  done
  n=$(cat "$1/xvfb.number")
  [ -n "$n" ] || { echo "Xvfb did not start" >&2; return 1; }
  echo ":$n" >"$1/wine-display"
  export DISPLAY=":$n"
}

stop_display() {
  if [ -f "$1/xvfb.pid" ]; then
    xvfb=$(cat "$1/xvfb.pid")
    kill "$xvfb" 2>/dev/null || true
    # Reaped here when this shell started it; else waited for.
    wait "$xvfb" 2>/dev/null || true
    i=0
    while kill -0 "$xvfb" 2>/dev/null && [ $((i += 1)) -lt 50 ]; do sleep 0.1; done
    rm -f "$1/xvfb.pid" "$1/xvfb.number" "$1/wine-display"
  fi
}
