#!/bin/sh
# damage-item.sh IN OUT: OUT is IN with the bits of its first byte inverted.
set -eu
first=$(head -c 1 "$1" | od -An -tu1 | tr -d ' ')
printf "\\$(printf '%03o' $((255 - first)))" >"$2"
tail -c +2 "$1" >>"$2"
