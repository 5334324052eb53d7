#!/usr/bin/env bash
# Draws the three status lamps of the firmware window (green, red, yellow) as small JPEG files
# in src/service/lamps. The checked-in files were made with this script (ImageMagick).
set -euo pipefail
cd "$(dirname "$0")/../src/service/lamps"
for lamp in green:'#10b010' red:'#d01818' yellow:'#e8c800'; do
  name=${lamp%%:*}
  colour=${lamp#*:}
  convert -size 16x16 xc:'#f0f0f0' -fill "$colour" -stroke '#404040' -draw 'circle 7.5,7.5 7.5,1.5' \
    -strip -quality 95 "lamp-$name.jpg"
done
