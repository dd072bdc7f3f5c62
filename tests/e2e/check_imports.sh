#!/bin/sh
# Fails when EXE imports any DLL that is not part of Windows itself, or any of
# the DLLs named after it (those it loads from the system folder when needed).
set -eu
exe=$1
shift
dlls=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print tolower($3) }')
[ -n "$dlls" ] || { echo "no imports found in $exe" >&2; exit 1; }
status=0
for dll in $dlls; do
  for late in "$@"; do
    if [ "$dll" = "$late" ]; then
      echo "IMPORTED, NOT LOADED WHEN NEEDED: $dll" >&2
      status=1
    fi
  done
  case "$dll" in
  kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|comctl32.dll|msvcrt.dll|\
  ole32.dll|oleaut32.dll|comdlg32.dll|shlwapi.dll|version.dll|ntdll.dll)
    echo "system: $dll" ;;
  *)
    echo "NOT A SYSTEM DLL: $dll" >&2
    status=1 ;;
  esac
done
exit $status
