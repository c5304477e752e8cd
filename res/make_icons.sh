#!/bin/sh
# Draws icon 128 from its SVG files: the PNGs in icons/ for every size the programs and the
# desktop use, and KESTRUNE.ico (its 16-colour images reduced from the same PNGs).
# Run by hand after changing a drawing; the build uses the committed files.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")"

# The 16-pixel image has a drawing of its own, on whole pixels; the others scale the large one.
rsvg-convert -w 16 -h 16 kestrune-16.svg -o icons/kestrune-16.png
for size in 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size icons/kestrune.svg -o icons/kestrune-$size.png
done

# The 16-colour images: each pixel wholly opaque or wholly transparent before the colours are
# reduced, so that no half-transparent edge turns into an opaque pixel of its own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for size in 16 32; do
  convert icons/kestrune-$size.png -channel A -threshold 50% +channel -dither None -colors 16 \
    PNG32:"$scratch/kestrune-$size.png"
done
python3 make_ico.py "$scratch" KESTRUNE.ico
