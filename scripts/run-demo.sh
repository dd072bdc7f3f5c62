#!/bin/sh
# Builds TessalySetup.exe and runs it under Wine against a demo "Orvandel" host,
# in a Wine prefix of its own (out/demo/wineprefix, made fresh each time).
# On your display when there is one; otherwise (or with DEMO_HEADLESS=1) under a
# private Xvfb display, driven through every page, with a picture of each page
# saved in out/demo/screenshots/. Prints what was installed and registered.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
sh scripts/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$build" -j"$(nproc)" --target TessalySetup demo_tour
exe="$root/$build/startup/TessalySetup.exe"
tour="$root/$build/demo/demo_tour.exe"

demo="$root/out/demo"
mkdir -p "$demo/screenshots"
# A fresh prefix with Wine's fonts and a private Xvfb display (stopped at the end).
sh tests/wine-prefix.sh setup "$demo" >/dev/null
reader=""
trap '[ -z "$reader" ] || kill "$reader" 2>/dev/null; sh "$root/tests/wine-prefix.sh" cleanup "$demo"' EXIT
export WINEPREFIX="$demo/wineprefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LANG=C
xvfb_display=$(cat "$demo/wine-display")

uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvandel'
main_program='HKLM\Software\Tarnwick\vintu\MainProgram'
plugin='HKLM\Software\Tarnwick\VinTu\Plugins\TYMsExcel'
host_dir="$WINEPREFIX/drive_c/Program Files/Orvandel"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

seed_host() {
  wine reg add "$uninstall" /v SourceDirectory /t REG_SZ /d 'C:\Program Files\Orvandel' /f >/dev/null
}
mkdir -p "$host_dir"
seed_host
wine reg add "$main_program" /v VersionHi /t REG_DWORD /d 1 /f >/dev/null
wine reg add "$main_program" /v VersionLo /t REG_DWORD /d 60 /f >/dev/null
echo "Demo host: Orvandel 1.60 in C:\\Program Files\\Orvandel (prefix $WINEPREFIX)"

to_png() { convert "$1" "$2" && rm -f "$1" && echo "  $2"; }

if [ -n "${DISPLAY:-}" ] && [ -z "${DEMO_HEADLESS:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Running the setup on your display $DISPLAY: click through it."
  wine "$exe"
else
  export DISPLAY="$xvfb_display"
  shots="$demo/screenshots"
  echo "No display: driving the setup under Xvfb $DISPLAY."

  # 1. The copy page, held back by a named pipe drained slowly, then cancelled.
  mkfifo "$host_dir/TYForMsExcel.plgn"
  sh tests/e2e/slow-reader.sh "$host_dir/TYForMsExcel.plgn" "$demo/drained.bin" 16384 0.1 &
  reader=$!
  wine "$tour" copy "$(winpath "$exe")" "$(winpath "$shots/copy.bmp")"
  kill "$reader" 2>/dev/null || true
  reader=""
  rm -f "$host_dir"/* "$demo/drained.bin"

  # 2. The real installation: welcome, copy, finish, Finish registers.
  wine "$tour" install "$(winpath "$exe")" "$(winpath "$shots/welcome.bmp")" \
    "$(winpath "$shots/finish.bmp")"

  # 3. Without the host's uninstall entry: the warning page.
  wine reg delete "$uninstall" /f >/dev/null
  wine "$tour" warning "$(winpath "$exe")" "$(winpath "$shots/warning.bmp")"
  seed_host

  echo "Pictures of the pages:"
  for page in welcome copy finish warning; do
    [ -f "$shots/$page.bmp" ] && to_png "$shots/$page.bmp" "$shots/$page.png"
  done
fi

# Every item payload.rc declares, under its own file name; any other outcome fails the demo.
echo "Installed into C:\\Program Files\\Orvandel:"
status=0
for item in $(sh resources/payload-items.sh resources/payload.rc); do
  name=$(basename "$item")
  if cmp -s "resources/$item" "$host_dir/$name"; then
    printf '  %-32s %8s bytes, identical to the payload item\n' "$name" "$(stat -c %s "resources/$item")"
  else
    printf '  %-32s missing or different\n' "$name"
    status=1
  fi
done
echo "Registered under $plugin:"
wine reg query "$plugin" 2>/dev/null | tr -d '\r' | grep -E 'REG_' || echo "  (nothing)"
exit $status
