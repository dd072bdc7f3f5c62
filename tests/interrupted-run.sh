#!/bin/sh
# CI: interrupted-run.sh SIGNAL READY DONE COMMAND...: starts one of the README's
# commands from the clone as a terminal would, in a group of its own, and once the
# test READY holds stops it: a TERM to its process, or Ctrl+C's INT to its group.
# Fails if the test DONE then holds (its end reached, or what it removes still
# there), or a process naming the clone, a mount below it or a temporary folder remains.
set -eu
sig=$1 ready=$2 done=$3
shift 3
clone=$(pwd)
TMPDIR=$(mktemp -d /tmp/tessaly-stop.XXXXXX)
export TMPDIR
setsid env --default-signal=INT "$@" &
run=$!
i=0
until eval "$ready" || [ $((i += 1)) -gt 1200 ]; do sleep 0.5; done
sleep 2
start=$(date +%s)
if [ "$sig" = INT ]; then kill -INT -"$run"; else kill -"$sig" "$run"; fi
wait "$run" || true
took=$(($(date +%s) - start)) i=0 left=unchecked
# Processes just told to end get 5 s.
while [ -n "$left" ] && [ $((i += 1)) -le 5 ] && left="" && sleep 1; do
  for p in /proc/[0-9]*; do
    [ "$p" = /proc/$$ ] || ! grep -qsF "$clone" "$p/environ" "$p/cmdline" || left="$left,${p#/proc/}"
  done
done
mounts=$(grep -cF " $(printf '%s' "$clone" | sed 's/ /\\040/g')/" /proc/self/mounts || true)
echo "$sig stopped $* in $took s; left: $mounts mounts, temporary folders: $(ls -A "$TMPDIR"), processes: ${left:-none}"
[ -z "$left" ] || ps -o pid=,args= -p "${left#,}"
! eval "$done" && [ -z "$left" ] && [ "$mounts" -eq 0 ] && rmdir "$TMPDIR"
