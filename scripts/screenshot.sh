#!/bin/sh
# Takes a PNG of the setup window in its start state.
#   scripts/screenshot.sh [OUT.png] [BUILD]
# Starts BUILD/startup/TessalySetup.exe under Wine on the build's private Xvfb
# display (made for the occasion when no test run holds one), waits for the
# window titled "Install", grabs it with ImageMagick's import and ends the app.
set -eu
cd "$(dirname "$0")/.."
out=${1:-out/welcome.png}
build=$(cd "${2:-build}" && pwd)
exe="$build/startup/TessalySetup.exe"
[ -f "$exe" ] || { echo "no $exe: build first" >&2; exit 1; }

own_display=""
if [ ! -f "$build/wine-display" ] || ! xdpyinfo -display "$(cat "$build/wine-display")" >/dev/null 2>&1; then
  sh tests/wine-prefix.sh setup "$build" >/dev/null
  own_display=1
fi
export DISPLAY
DISPLAY=$(cat "$build/wine-display")
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all
. tests/wine-locale.sh

wine "$exe" </dev/null >/dev/null 2>&1 &
app=$!
cleanup() {
  kill "$app" 2>/dev/null || true
  if [ -n "$own_display" ]; then sh tests/wine-prefix.sh cleanup "$build"; fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

win=""
i=0
while [ -z "$win" ] && [ $i -lt 100 ]; do
  sleep 0.1
  win=$(xwininfo -root -tree 2>/dev/null | awk '/"Install": \(/ { print $1; exit }')
  i=$((i + 1))
done
[ -n "$win" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 0.5  # let the first paint finish
mkdir -p "$(dirname "$out")"
import -window "$win" "$out"
echo "$out"
