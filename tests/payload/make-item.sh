#!/bin/sh
# make-item.sh SIZE OUT: SIZE bytes of decimal counting text, never periodic,
# so a chunk written at the wrong offset cannot go unnoticed.
set -eu
size=$1
out=$2
if [ "$size" -eq 0 ]; then
  : >"$out"
else
  seq 1 $((size / 2 + 1)) | head -c "$size" >"$out"
fi
