#!/bin/sh
# Runs one Windows exe under Wine, in the build tree's own prefix and display.
# CTest sets TESSALY_BUILD and WINEPREFIX (see tests/CMakeLists.txt).
: "${TESSALY_BUILD:?run through ctest, or set TESSALY_BUILD to the build folder}"
: "${WINEPREFIX:=$TESSALY_BUILD/wineprefix}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDEBUG
. "$(dirname "$0")/wine-arch.sh"
. "$(dirname "$0")/wine-locale.sh"
if [ -f "$TESSALY_BUILD/wine-display" ]; then
  DISPLAY=$(cat "$TESSALY_BUILD/wine-display")
  export DISPLAY
fi
exec wine "$@"
