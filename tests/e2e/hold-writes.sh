#!/bin/sh
# hold-writes.sh FILE READY RELEASE [FIRST]: holds the setup's writes to the
# Unix path FILE from its FIRST-th write on (default the first) until the file
# RELEASE exists (60 s at most), then lets them go at full speed. It waits for the newest TessalySetup process of $WINEPREFIX, attaches
# strace to it, then creates READY: writes begun after that are held. The
# setup writes a fresh file at FILE, so nothing planted there could hold it.
set -u
ready=$2 release=$3 first=${4:-1}
# strace names an open file by its real path, not through Wine's drive links.
file=$(realpath "$(dirname "$1")")/$(basename "$1")
# Other prefixes may run setups too: the highest process id of this one's.
setup_pid() {
  newest=""
  for pid in $(pgrep '^TessalySetup'); do
    # grep opens the file itself: a process that ended meanwhile is quietly no match.
    grep -qzxF "WINEPREFIX=$WINEPREFIX" "/proc/$pid/environ" 2>/dev/null && newest=$pid
  done
  echo "$newest"
}
tries=0
until pid=$(setup_pid) && [ -n "$pid" ]; do
  tries=$((tries + 1))
  [ "$tries" -lt 600 ] || { echo "hold-writes: no TessalySetup process" >&2; exit 1; }
  sleep 0.1
done
# A held write goes on the moment strace ends, as the trap below ends it.
strace -qq -f -o /dev/null -P "$file" -e trace=write -e inject=write:delay_enter=60s:when="$first"+ -p "$pid" &
tracer=$!
trap 'kill "$tracer" 2>/dev/null' EXIT
trap 'exit 143' INT TERM
until grep -q '^TracerPid:[[:space:]]*[1-9]' "/proc/$pid/status" 2>/dev/null; do
  kill -0 "$tracer" 2>/dev/null || { echo "hold-writes: strace could not attach" >&2; exit 1; }
  sleep 0.05
done
: >"$ready"
tries=0
while [ ! -e "$release" ] && [ "$tries" -lt 600 ] && kill -0 "$pid" 2>/dev/null; do
  tries=$((tries + 1))
  sleep 0.1
done
