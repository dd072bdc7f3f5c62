#!/bin/sh
# slow-reader.sh FIFO SINK STEP PAUSE [RELEASE]: drains FIFO into SINK, STEP bytes
# every PAUSE seconds, so a writer on the other end is held to that pace, until the
# file RELEASE exists: then the rest at once. Once data flows, the
# FIFO's name goes to an empty regular file: the writer goes on writing into the
# FIFO it opened, and can then move its file into place, which Wine refuses for a
# FIFO. Opens that see no data are waited out; the first session that brings data
# ends the reader when its writer closes.
fifo=$1
sink=$2
step=$3
pause=$4
release=${5:-}
: >"$sink"
while [ -p "$fifo" ]; do
  exec 3<"$fifo"
  while :; do
    before=$(wc -c <"$sink")
    head -c "$step" <&3 >>"$sink"
    [ "$(wc -c <"$sink")" -gt "$before" ] || break
    if [ -z "${flowing:-}" ]; then
      flowing=1
      rm -f "$fifo" && : >"$fifo"
    fi
    if [ -n "$release" ] && [ -e "$release" ]; then
      cat <&3 >>"$sink"
      break
    fi
    sleep "$pause"
  done
  exec 3<&-
  [ -z "${flowing:-}" ] || exit 0
done
