#!/bin/sh
# Formats the project's C++ sources with clang-format and .clang-format; the
# plug-in's own sources under resources/payload/src and third_party keep theirs.
set -eu
cd "$(dirname "$0")/.."
git ls-files '*.cpp' '*.h' | grep -v -e '^third_party/' -e '^resources/payload/src/' |
  xargs clang-format -i
