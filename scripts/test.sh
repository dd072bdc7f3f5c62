#!/bin/sh
# Builds the installer and every test, checks that a second build of the
# installer is the same to the byte, then runs the tests under Wine + Xvfb.
set -eu
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
# CTest's clean-up fixtures do not run when it is interrupted: stop the Wine
# prefixes and displays of the run here.
interrupted() {
  for d in "$build" "$build/win64" "$build/dpi144"; do sh tests/wine-prefix.sh cleanup "$d" || true; done
  exit "$1"
}
trap 'interrupted 130' INT
trap 'interrupted 143' TERM
sh scripts/configure.sh "$build"
cmake --build "$build" -j"$(nproc)"
sh scripts/check-reproducible.sh "$build"
# Tests of different prefixes, and those that need no Wine, run side by side.
TESSALY_FRESH_PREFIX=1 ctest --test-dir "$build" -j"$(nproc)" --output-on-failure "$@"
