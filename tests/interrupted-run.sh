#!/bin/sh
# CI: a targeted test run stopped by Ctrl+C once its tests run must leave no
# process of its Wine prefix behind. Run from the clone, after a full test run.
set -eu
prefix="$(pwd)/build/wineprefix"
rm -f "$prefix/.made-for"
# A group of its own, with Ctrl+C's default action, as a terminal would start it.
setsid env --default-signal=INT sh scripts/test.sh -R '^e2e_flow$' &
run=$!
i=0
until [ -f "$prefix/.made-for" ] || [ $((i += 1)) -gt 600 ]; do sleep 0.5; done
sleep 2
kill -INT -"$run"
wait "$run" || true
left=$(grep -lzxF "WINEPREFIX=$prefix" /proc/[0-9]*/environ 2>/dev/null | wc -l)
echo "an interrupted test run left $left processes of $prefix running"
[ "$left" -eq 0 ]
