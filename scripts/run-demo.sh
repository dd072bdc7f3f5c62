#!/bin/sh
# Builds TessalySetup.exe and runs it under Wine against a demo "Orvandel" host,
# in a Wine prefix of its own (out/demo/wineprefix, made fresh each time).
# On your display when there is one; otherwise (or with DEMO_HEADLESS=1, or when
# $DISPLAY cannot be opened, which it says) under a private Xvfb display, driven
# through every page at 150 % and at 100 %, with a picture of each page saved in
# out/demo/screenshots/ (PAGE-150.png, PAGE.png, and PAGE-contrast.png in a
# contrast theme); the prefixes of those at 150 % and in the contrast theme are
# removed once their pictures are taken, or when the demo is stopped.
# Prints what was installed and registered.
set -eu
. "$(dirname "$0")/own-group.sh"
cd "$(dirname "$0")/.."
root=$(pwd)
build=${BUILD_DIR:-build}
sh scripts/configure.sh "$build"
cmake --build "$build" -j"$(nproc)" --target TessalySetup TessalySetupContrast demo_tour
exe="$root/$build/startup/TessalySetup.exe"
tour="$root/$build/demo/demo_tour.exe"
contrast_exe="$root/$build/demo/TessalySetupContrast.exe"

demo="$root/out/demo"
# A prefix no longer needed, ended and removed: each takes about 600 MB.
drop_prefix() {
  sh "$root/tests/wine-prefix.sh" cleanup "$1"
  rm -rf "$1"
}
mkdir -p "$demo/screenshots"
reader=""
trap '[ -z "$reader" ] || kill "$reader" 2>/dev/null; rm -f "$demo/held" "$demo/released"
sh "$root/tests/wine-prefix.sh" cleanup "$demo" || true
for d in "$demo/150" "$demo/contrast"; do [ ! -d "$d" ] || drop_prefix "$d" || true; done' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
export WINEDEBUG=-all
. tests/wine-locale.sh

uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvandel'
main_program='HKLM\Software\Tarnwick\vintu\MainProgram'
plugin='HKLM\Software\Tarnwick\VinTu\Plugins\TYMsExcel'
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

seed_host() {
  wine reg add "$uninstall" /v SourceDirectory /t REG_SZ /d 'C:\Program Files\Orvandel' /f >/dev/null
}
# start_prefix DIR [LOGPIXELS]: a fresh prefix with Wine's fonts and a private
# Xvfb display (stopped at the end) in DIR, at that display scale, with the host.
start_prefix() {
  TESSALY_LOGPIXELS=${2:-} TESSALY_RPCSS=no TESSALY_FRESH_PREFIX=1 sh tests/wine-prefix.sh setup "$1" >/dev/null
  export WINEPREFIX="$1/wineprefix"
  xvfb_display=$(cat "$1/wine-display")
  host_dir="$WINEPREFIX/drive_c/Program Files/Orvandel"
  mkdir -p "$host_dir"
  seed_host
  wine reg add "$main_program" /v VersionHi /t REG_DWORD /d 1 /f >/dev/null
  wine reg add "$main_program" /v VersionLo /t REG_DWORD /d 60 /f >/dev/null
}

to_png() { convert "$1" "$2" && rm -f "$1" && echo "  $2"; }

# tour_pages SUFFIX [SETUP.exe]: every page driven under the prefix's Xvfb
# display, each picture saved as screenshots/PAGE$SUFFIX.png.
tour_pages() {
  export DISPLAY="$xvfb_display"
  setup=${2:-$exe}
  shots="$demo/screenshots"
  # 1. The copy page, the module's temporary file held at its second write,
  # then cancelled.
  rm -f "$demo/held" "$demo/released"
  sh tests/e2e/hold-writes.sh "$host_dir/TYForMsExcel.plg~" "$demo/held" "$demo/released" 2 &
  reader=$!
  wine "$tour" copy "$(winpath "$setup")" "$(winpath "$shots/copy$1.bmp")" \
    "$(winpath "$demo/held")" "$(winpath "$demo/released")"
  kill "$reader" 2>/dev/null || true
  reader=""
  rm -f "$host_dir"/* "$demo/held" "$demo/released"

  # 2. The real installation: welcome, copy, finish, Finish registers.
  wine "$tour" install "$(winpath "$setup")" "$(winpath "$shots/welcome$1.bmp")" \
    "$(winpath "$shots/finish$1.bmp")"

  # 3. Without the host's uninstall entry: the warning page.
  wine reg delete "$uninstall" /f >/dev/null
  wine "$tour" warning "$(winpath "$setup")" "$(winpath "$shots/warning$1.bmp")"
  seed_host

  echo "Pictures of the pages:"
  for page in welcome copy finish warning; do
    [ -f "$shots/$page$1.bmp" ] && to_png "$shots/$page$1.bmp" "$shots/$page$1.png"
  done
}


on_display=""
if [ -n "${DISPLAY:-}" ] && [ -z "${DEMO_HEADLESS:-}" ]; then
  if xdpyinfo >/dev/null 2>&1; then
    on_display=1
  else
    echo "Cannot open the display $DISPLAY: running the demo headless instead."
  fi
fi
if [ -n "$on_display" ]; then
  start_prefix "$demo"
  echo "Demo host: Orvandel 1.60 in C:\\Program Files\\Orvandel (prefix $WINEPREFIX)"
  echo "Running the setup on your display $DISPLAY: click through it."
  wine "$exe"
else
  # First at 150 % (144 DPI) in a prefix of that scale, then at 100 %, whose
  # prefix is the one reported below.
  start_prefix "$demo/150" 144
  echo "Driving the setup at 150 % under Xvfb $xvfb_display."
  tour_pages -150
  drop_prefix "$demo/150"
  # Windows 11's Aquatic contrast theme: its system colours, read by each new
  # process, and the copy of the setup that takes the theme as switched on.
  start_prefix "$demo/contrast"
  set -- ButtonFace '32 32 32' ButtonText '255 255 255' Window '32 32 32' WindowText '255 255 255' \
    Hilight '142 227 240' HilightText '38 59 80' GrayText '166 166 166'
  while [ $# -gt 0 ]; do
    wine reg add 'HKCU\Control Panel\Colors' /v "$1" /t REG_SZ /d "$2" /f >/dev/null
    shift 2
  done
  echo "Driving the setup in a contrast theme under Xvfb $xvfb_display."
  tour_pages -contrast "$contrast_exe"
  drop_prefix "$demo/contrast"
  start_prefix "$demo"
  echo "Demo host: Orvandel 1.60 in C:\\Program Files\\Orvandel (prefix $WINEPREFIX)"
  echo "Driving the setup at 100 % under Xvfb $xvfb_display."
  tour_pages ""
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
