# Sourced before Wine starts. Wine maps Unix file names through the locale's
# character set: under C it cannot open a folder whose name has accented
# letters (not even its own prefix there). C.UTF-8 can, and keeps the ANSI code
# page 1252 and the English system texts that the tests compare.
export LC_ALL=C.UTF-8
# No Mono, Gecko or menu entries. Set here rather than by CTest, which would
# split the value at its ; (its list separator).
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

# remove_server_folder PREFIX [TMP]: Debian's Wine gives each prefix's server a
# folder below TMP ($TMPDIR, /tmp), named in PREFIX/wineserver, which it never
# removes; called once that server has ended.
remove_server_folder() {
  name=$(cat "$1/wineserver" 2>/dev/null) || return 0
  case $name in wine-??????) rm -rf "${2:-${TMPDIR:-/tmp}}/$name" ;; esac
  rm -f "$1/wineserver"
}

# wine_location_check PATH...: stops, naming the cause, when Wine or the build
# cannot work below one of the folders.
wine_location_check() {
  for path in "$@"; do
    # Other names that the path stands for when a shell reads it as a pattern.
    others=$(IFS=''; for name in $path; do [ "$name" = "$path" ] || printf ' %s' "$name"; done)
    if printf '%s' "$path" | grep -q ';'; then
      cause="CMake cannot build there: it splits names at each ; (its list separator)"
    elif printf '%s' "$path" | grep -q '\$'; then
      cause="CMake cannot build there: it writes \$ wrongly into the compiler's option files"
    elif printf '%s' "$path" | grep -q '["\\]'; then
      cause="Wine cannot serve it: Windows takes \" in a name for a quote and \\ for a folder separator"
    elif printf '%s' "$path" | grep -q '#'; then
      cause="CMake cannot build there: it refuses # in the names of the files a build makes"
    elif case $path in *[:\|[:cntrl:]]*) true ;; *) false ;; esac then
      cause="make cannot build there: it reads :, | and tabs in file names as parts of its rules"
    elif [ -n "$others" ]; then
      cause="the build's makefiles hand paths to the shell unquoted, which reads [, ], ? and * as a pattern, and here that also names$others"
    elif ! printf '%s' "$path" | LC_ALL=C grep -q '[^ -~]'; then
      continue
    elif ! printf '%s' "$path" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1; then
      cause="its name is not UTF-8, so Wine cannot map it to a Windows name"
    elif ! locale -a 2>/dev/null | grep -qix 'c\.utf-\{0,1\}8'; then
      cause="Wine needs the locale C.UTF-8 for its letters, and this system has none"
    elif ! printf '%s' "$path" | iconv -f UTF-8 -t CP1252 >/dev/null 2>&1; then
      cause="its name has letters that the ANSI code page 1252 cannot hold, and the tests and the demo pass paths to ANSI Win32 calls"
    else
      continue
    fi
    printf '%s\n' "Cannot work below $path: $cause. Use a folder whose name has no such characters." >&2
    exit 1
  done
}
