#!/bin/sh
# checksums.sh OUT ITEM...: the CRC-32 of each payload item in item order, as
# 4-byte little-endian numbers; "-" stands for a position with no item (0).
# gzip's trailer is exactly that: the CRC-32 of its input, then its length.
set -eu
out=$1
shift
: >"$out.tmp"
for item in "$@"; do
  if [ "$item" = "-" ]; then
    printf '\000\000\000\000' >>"$out.tmp"
  else
    gzip -c -n <"$item" | tail -c 8 | head -c 4 >>"$out.tmp"
  fi
done
mv "$out.tmp" "$out"
