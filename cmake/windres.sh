#!/bin/sh
# windres hands its include folders and input to the preprocessor through the
# shell without quoting them, so a folder named with ' $ ` or & breaks it: each
# such path reaches it through a link of a plain name instead.
set -eu
links=$(mktemp -d "${TMPDIR:-/tmp}/tessaly-windres.XXXXXX")
trap 'rm -rf "$links"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
n=0
for arg; do
  shift
  path=${arg#-I}
  case $path in
  /*[!A-Za-z0-9_./+-]*)
    if [ -e "$path" ]; then
      n=$((n + 1))
      if [ -d "$path" ]; then
        ln -s "$path" "$links/$n"
        arg=${arg%"$path"}$links/$n
      else
        ln -s "$(dirname "$path")" "$links/$n"
        arg=${arg%"$path"}$links/$n/$(basename "$path")
      fi
    fi
    ;;
  esac
  set -- "$@" "$arg"
done
i686-w64-mingw32-windres "$@"
