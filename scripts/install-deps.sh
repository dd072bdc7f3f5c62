#!/bin/sh
# Installs everything the build, the tests and the demo need on Debian (run as root).
set -eu
pkgs="cmake make g++-mingw-w64-i686 wine wine32:i386 wine64 xvfb xauth x11-utils xdotool fonts-wine imagemagick googletest osslsigncode openssl strace clang-format"
missing=""
for p in $pkgs; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
fi
