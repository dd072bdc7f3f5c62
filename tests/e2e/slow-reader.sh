#!/bin/sh
# slow-reader.sh FIFO SINK STEP PAUSE: drains FIFO into SINK, STEP bytes every PAUSE
# seconds, so a writer on the other end is held to that pace. Opens that see no data
# (a probe that opens and closes the file) are waited out; the first session that
# brings data ends the reader when its writer closes.
fifo=$1
sink=$2
step=$3
pause=$4
: >"$sink"
while [ -p "$fifo" ]; do
  exec 3<"$fifo"
  while :; do
    before=$(wc -c <"$sink")
    head -c "$step" <&3 >>"$sink"
    [ "$(wc -c <"$sink")" -gt "$before" ] || break
    sleep "$pause"
  done
  exec 3<&-
  [ "$(wc -c <"$sink")" -eq 0 ] || exit 0
done
