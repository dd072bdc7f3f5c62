#!/bin/sh
# check_size.sh EXE BARE BUDGET: fails when BARE, the setup linked without its
# payload items, holds more than BUDGET bytes. That is the program (code, icons,
# manifest, version): a change to the payload alone never changes it.
set -eu
exe=$1 bare=$2 budget=$3
size=$(stat -c %s "$exe")
program=$(stat -c %s "$bare")
echo "exe $size bytes: the program $program (budget $budget), the payload's share $((size - program))"
if [ "$program" -gt "$budget" ]; then
  echo "the program is over the budget by $((program - budget)) bytes (docs/figures.md, The exe)" >&2
  exit 1
fi
