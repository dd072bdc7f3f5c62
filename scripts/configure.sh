#!/bin/sh
# configure.sh [BUILD]: what both commands of the README do before they build:
# installs what is missing, stops when Wine cannot work below this clone, and
# configures BUILD (default: build) for MinGW, afresh when an earlier configure
# by hand chose this machine's own compilers.
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
sh scripts/install-deps.sh
. tests/wine-locale.sh
wine_location_check "$(pwd)"
mkdir -p "$build"
wine_location_check "$(cd "$build" && pwd)"
if [ -f "$build/CMakeCache.txt" ] &&
  ! grep -qs 'CMAKE_CROSSCOMPILING "TRUE"' "$build"/CMakeFiles/*/CMakeSystem.cmake; then
  echo "$build was configured for this machine's own compilers, not MinGW: configuring it afresh"
  rm -rf "$build/CMakeCache.txt" "$build/CMakeFiles"
fi
cmake -S . -B "$build" >/dev/null
