#!/bin/sh
# Builds the installer and every test, checks that a second build of the
# installer is the same to the byte, then runs the tests under Wine + Xvfb.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"
sh scripts/check-reproducible.sh "$build"
cd "$build"
ctest --output-on-failure "$@"
