#!/bin/sh
# Builds the product a second time, in a fresh folder at another path, and
# fails unless its exe is byte for byte the one in BUILD (default: build).
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
reference=$build/startup/TessalySetup.exe
[ -f "$reference" ] || { echo "$reference is missing: build it first" >&2; exit 1; }
type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
second=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-second-build.XXXXXX")
trap 'rm -rf "$second"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
cmake -S . -B "$second" -DTESSALY_TESTS=OFF \
  ${type:+"-DCMAKE_BUILD_TYPE=$type"} >/dev/null
cmake --build "$second" -j"$(nproc)" --target TessalySetup >/dev/null
if ! cmp "$reference" "$second/startup/TessalySetup.exe"; then
  echo "not reproducible: $reference differs from a second build in $second" >&2
  exit 1
fi
echo "reproducible: a second build in another folder gives the same $(stat -c %s "$reference") bytes"
