#!/bin/sh
# Builds the installer and every test, then runs them all under Wine + Xvfb.
set -eu
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure "$@"
