#!/bin/sh
# CI: interrupted-run.sh SIGNAL READY DONE COMMAND...: starts one of the README's
# commands from the clone as a terminal would (a group of its own, Ctrl+C's
# default action) and, once the test READY holds, stops it: a TERM to its own
# process, or an INT to its group as Ctrl+C sends. Fails if the test DONE then
# holds (it ran to its end), or a process, mount or temporary folder of the clone remains.
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
took=$(($(date +%s) - start))
mine=" " p=$$
while [ "$p" -gt 1 ]; do mine="$mine$p " p=$(awk '/^PPid/ { print $2 }' "/proc/$p/status"); done
# Processes that work in the clone or name it; those just told to end get 5 s.
i=0 left=unchecked
while [ -n "$left" ] && [ $((i += 1)) -le 5 ]; do
  [ $i -eq 1 ] || sleep 1
  left=""
  for p in /proc/[0-9]*; do
    case $mine in *" ${p#/proc/} "*) continue ;; esac
    case $(readlink "$p/cwd" 2>/dev/null) in "$clone" | "$clone"/*) left="$left,${p#/proc/}" && continue ;; esac
    ! grep -qsF "$clone" "$p/environ" "$p/cmdline" || left="$left,${p#/proc/}"
  done
done
mounts=$(grep -cF " $(printf '%s' "$clone" | sed 's/ /\\040/g')/" /proc/self/mounts || true)
temps=$(ls -A "$TMPDIR" | wc -l)
echo "$sig stopped $* in $took s; left: $mounts mounts, $temps temporary folders, processes: ${left:-none}"
[ -z "$left" ] || ps -o pid=,args= -p "${left#,}"
! eval "$done" && [ -z "$left" ] && [ $((mounts + temps)) -eq 0 ] && rmdir "$TMPDIR"
