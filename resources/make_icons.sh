#!/bin/sh
# Draws the program icon (a spreadsheet grid with a plug) with ImageMagick and
# writes icons/tessaly.ico (16, 24, 32, 48, 256 px, 32-bit, all as PNG) and
# icons/form.ico (32 x 32, 16 colours) for the window's title row, with the
# title icon's group (form.grp, form32.icon) that shares tessaly.ico's 48 and 256.
set -eu
cd "$(dirname "$0")/icons"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 256 x 256 master: a sheet with a green header row and a grid, and a plug
# with two prongs in the lower right corner.
convert -size 256x256 xc:none \
  -fill '#2f2f2f' -draw 'roundrectangle 14,22 210,226 10,10' \
  -fill white -draw 'roundrectangle 18,26 206,222 8,8' \
  -fill '#1e7b3c' -draw 'rectangle 18,26 206,66' \
  -stroke '#7f9f8a' -strokewidth 4 \
  -draw 'line 18,106 206,106' -draw 'line 18,146 206,146' -draw 'line 18,186 206,186' \
  -draw 'line 80,66 80,222' -draw 'line 143,66 143,222' \
  -stroke none -fill '#1e7b3c' \
  -draw 'rectangle 30,118 68,134' -draw 'rectangle 92,158 130,174' \
  -stroke '#202020' -strokewidth 6 -fill '#f0b400' \
  -draw 'roundrectangle 140,150 232,222 14,14' \
  -stroke none -fill '#202020' \
  -draw 'rectangle 160,118 174,152' -draw 'rectangle 198,118 212,152' \
  -draw 'rectangle 178,220 194,250' \
  "$tmp/master.png"

for s in 16 24 32 48; do
  convert "$tmp/master.png" -resize ${s}x${s} "$tmp/icon$s.png"
done
# Every size PNG-compressed (Windows Vista and later read PNG at any size), as
# 8-bit RGBA, the form icon tools write: Wine reads no 16-bit PNG icons, and a
# palette PNG is a form we could not check on Windows. 32 px: 1.2 KB, not 4.2 KB.
for s in 16 24 32 48; do
  convert "$tmp/icon$s.png" -depth 8 -strip -define png:compression-level=9 \
    -define png:color-type=6 "$tmp/png$s.png"
done
convert "$tmp/master.png" -depth 8 -strip -define png:compression-level=9 \
  -define png:color-type=6 "$tmp/png256.png"
python3 ../pack_ico.py tessaly.ico "$tmp/png16.png" "$tmp/png24.png" "$tmp/png32.png" \
  "$tmp/png48.png" "$tmp/png256.png"
cp "$tmp/master.png" tessaly.png

# 16 colours (15 + black for the transparent part) on the form's button-face grey, with a 1-bit transparency mask.
convert "$tmp/icon32.png" -background '#c0c0c0' -alpha remove -alpha off \
  +dither -colors 15 -depth 8 "$tmp/form32.rgb"
convert "$tmp/icon32.png" -alpha extract -depth 8 "$tmp/form32.gray"
python3 ../pack_ico4.py "$tmp/form32.rgb" "$tmp/form32.gray" form.ico
python3 ../pack_group.py form.ico tessaly.ico form32.icon form.grp 6
