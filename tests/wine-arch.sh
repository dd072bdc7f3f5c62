# Sourced before Wine starts for a test: a run that asks for the 64-bit layout
# (WINEARCH=win64) is skipped, exit 77, where wine64 is not installed.
if [ "${WINEARCH:-}" = win64 ] && [ ! -x /usr/lib/wine/wine64 ]; then
  echo "skipped: a 64-bit Wine prefix needs wine64, which is not installed"
  exit 77
fi
