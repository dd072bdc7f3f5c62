#!/bin/sh
# Fails when EXE carries more than BUDGET bytes besides the payload items that
# PAYLOAD_RC names (paths relative to the .rc's folder).
set -eu
exe=$1 budget=$2 rc=$3
dir=$(dirname "$rc")
payload=0
for item in $(sh "$dir/payload-items.sh" "$rc"); do
  payload=$((payload + $(stat -c %s "$dir/$item")))
done
[ "$payload" -gt 0 ] || { echo "no payload items named in $rc" >&2; exit 1; }
size=$(stat -c %s "$exe")
overhead=$((size - payload))
echo "exe $size bytes: payload $payload, the rest $overhead (budget $budget)"
if [ "$overhead" -gt "$budget" ]; then
  echo "over the budget by $((overhead - budget)) bytes" >&2
  exit 1
fi
