#!/bin/sh
# format.sh [--check]: formats the project's C++ sources with clang-format and
# .clang-format; the plug-in's own sources under resources/payload/src and
# third_party keep theirs, and build folders are left out. With --check it
# changes nothing and fails, naming each file clang-format would change (a
# CTest test runs it so).
set -eu
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null 2>&1; then
  echo "format.sh needs clang-format: 'sh scripts/install-deps.sh' installs it (as root)." >&2
  exit 1
fi
# Not from git: CI works on a copy of the checkout without its repository.
sources() {
  find . \( -path ./.git -o -path ./third_party -o -path ./resources/payload/src -o -path ./out \) -prune \
    -o -type d -exec test -e '{}/CMakeCache.txt' ';' -prune \
    -o -type f \( -name '*.cpp' -o -name '*.h' \) -print | sort
}
if [ "${1:-}" = --check ]; then
  sources | xargs clang-format --dry-run --Werror
else
  sources | xargs clang-format -i
fi
