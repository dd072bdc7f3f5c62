#!/usr/bin/env bash
# Rebuilds the payload items of the plug-in from src/ and checks that each has
# the size of the committed item that ../payload.rc names.
# Usage: build-items.sh [output folder] [--check]
#   --check also loads the module under Wine and checks ../payload.rc.
# Needs: python3, i686-w64-mingw32-g++/windres, chmcmd (fp-utils), ImageMagick;
# --check needs wine.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
src=$here/src
out=$here
check=no
for arg in "$@"; do
    case $arg in
        --check) check=yes ;;
        *) out=$(mkdir -p "$arg" && cd "$arg" && pwd) ;;
    esac
done
work=$(mktemp -d /tmp/payload-items.XXXXXX)
trap 'rm -rf "$work"' EXIT

# The items in payload.rc's order, the first the module, each with the size it
# ships with: the committed file's, taken before anything is rebuilt.
items=$(sh "$here/../payload-items.sh" "$here/../payload.rc" | sed 's|^payload/||')
declare -A sizes=()
for name in $items; do sizes[$name]=$(stat -c %s "$here/$name"); done
module=${items%%$'\n'*}
module_size=${sizes[$module]}

# The module's RESERVED resource grows until the file has the shipped size;
# the .rsrc section is rounded to 512 bytes, so two or three links settle it.
build_module() {
    local reserved=0 size
    for _ in 1 2 3 4 5 6; do
        head -c "$reserved" /dev/zero > "$work/reserved.bin"
        i686-w64-mingw32-windres -I "$work" -i "$src/plugin/plugin.rc" -o "$work/plugin_res.o"
        i686-w64-mingw32-g++ -std=c++17 -O2 -s -shared -static \
            -Wl,--kill-at -Wl,--no-insert-timestamp \
            -o "$out/$module" "$src/plugin/plugin.cpp" "$work/plugin_res.o"
        size=$(stat -c %s "$out/$module")
        if [ "$size" -eq "$module_size" ]; then
            echo "$module: reserved resource of $reserved bytes"
            return
        fi
        reserved=$((reserved + module_size - size))
        [ "$reserved" -ge 0 ] || { echo "module too large without reserve: $size" >&2; exit 1; }
    done
    echo "module size does not settle at $module_size" >&2
    exit 1
}

build_module
# The recorded choice is tried first; the search runs only if this machine's
# chmcmd or ImageMagick give another size with it.
python3 "$src/make_chm.py" "$out/Tessaly_Excel.chm" \
    --quality 90 --orders 12 --seed 53 --title "Tessaly for MS Excel V2.6"
python3 "$src/make_lnm.py" "$out"

total=0
status=0
for name in $items; do
    [ -e "$out/$name" ] || cp "$here/$name" "$out/"  # an item src/ does not make
    size=$(stat -c %s "$out/$name")
    total=$((total + size))
    if [ "$size" -ne "${sizes[$name]}" ]; then
        echo "$name: $size bytes, expected ${sizes[$name]}" >&2
        status=1
    fi
done
echo "total: $total bytes"
[ "$status" -eq 0 ] || exit 1

if [ "$check" = yes ]; then
    i686-w64-mingw32-g++ -std=c++17 -O2 -static -o "$work/check_plugin.exe" "$src/check/check_plugin.cpp"
    resdir=$work/res
    mkdir -p "$resdir/payload"
    cp "$here/../payload.rc" "$resdir/"
    for name in $items; do cp "$out/$name" "$resdir/payload/"; done
    # shellcheck disable=SC2046 # one argument per item
    sh "$here/../checksums.sh" "$resdir/payload.crc" $(for name in $items; do echo "$resdir/payload/$name"; done)
    i686-w64-mingw32-windres -I "$resdir" -i "$resdir/payload.rc" -o "$work/payload_res.o"
    i686-w64-mingw32-g++ -std=c++17 -O2 -static -o "$work/check_resources.exe" \
        "$src/check/check_resources.cpp" "$work/payload_res.o"
    cp "$out/$module" "$work/"
    export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
    wineboot -i >/dev/null 2>&1
    (cd "$work" && wine check_plugin.exe "$module")
    # shellcheck disable=SC2086 # one argument per item
    (cd "$work" && wine check_resources.exe "$(winepath -w "$out")" $items)
    wineserver -k
fi
