#!/bin/sh
# Formats the project's C++ sources with clang-format and .clang-format; the
# plug-in's own sources under resources/payload/src and third_party keep theirs.
set -eu
cd "$(dirname "$0")/.."
# Not among the packages install-deps.sh installs: only this script needs it.
if ! command -v clang-format >/dev/null 2>&1; then
  echo "format.sh needs clang-format: install it with 'apt-get install clang-format' (as root)." >&2
  exit 1
fi
git ls-files '*.cpp' '*.h' | grep -v -e '^third_party/' -e '^resources/payload/src/' |
  xargs clang-format -i
