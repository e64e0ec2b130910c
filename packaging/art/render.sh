#!/bin/sh
# Renders the committed PNG/ICO artwork from its SVG sources.
# Needs rsvg-convert (Debian librsvg2-bin) and ImageMagick's convert.
set -eu
cd "$(dirname "$0")"
rsvg-convert -w 493 -h 97 banner.svg | convert png:- -background white -alpha remove -type TrueColor PNG24:banner.png
for size in 32 64 128 256; do
  rsvg-convert -w $size -h $size icon.svg | convert png:- -background white -alpha remove -type TrueColor PNG24:icon-$size.png
done
convert icon-32.png icon-64.png icon-128.png icon-256.png ../windows/kestrane.ico
