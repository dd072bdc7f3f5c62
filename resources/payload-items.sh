#!/bin/sh
# payload-items.sh RC: the item files that RC declares FILE1, FILE2, ... in
# order, one a line, relative to RC's folder (as the resource compiler reads them).
set -eu
sed -n 's/^FILE[0-9]* *RCDATA *"\(.*\)".*$/\1/p' "$1"
