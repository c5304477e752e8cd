#!/bin/sh
# Draws icon 128 (a schematic sheet with a back-turning arrow) and writes the PNGs in icons/.
# Run by hand after changing the drawing; the build uses the committed PNGs.
set -eu
cd "$(dirname "$0")/icons"

convert -size 256x256 xc:none \
  -fill '#1f4e8c' -stroke none -draw 'roundrectangle 8,8 248,248 36,36' \
  -fill white -draw 'polygon 56,36 164,36 208,80 208,220 56,220' \
  -fill '#c9d6ea' -draw 'polygon 164,36 164,80 208,80' \
  -fill none -stroke '#1f4e8c' -strokewidth 12 \
  -draw 'stroke-linejoin round stroke-linecap round polyline 72,110 100,110 112,86 128,134 144,86 160,134 172,110 196,110' \
  -stroke '#d03a1c' -strokewidth 16 -draw 'line 180,176 100,176' \
  -fill '#d03a1c' -stroke none -draw 'polygon 76,176 112,148 112,204' \
  -depth 8 PNG32:kestrune-256.png

for size in 48 32 16; do
  convert kestrune-256.png -resize ${size}x${size} -depth 8 PNG32:kestrune-${size}.png
done
# The small images keep to 16 colours, as the Windows icon does.
for size in 32 16; do
  convert kestrune-${size}.png -colors 16 PNG32:kestrune-${size}.png
done
