#!/bin/sh
# Draws icon.ico (32x32 and 16x16): a laser beam through a lens on a dark blue tile.
# Needs ImageMagick; run from app/ after changing the drawing.
set -e
tmp=$(mktemp -d)
for size in 32 16; do
  s=$size
  e=$((s - 1))
  convert -size ${s}x${s} xc:none \
    -fill '#1c3f7a' -draw "roundrectangle 0,0 $e,$e $((s / 6)),$((s / 6))" \
    -stroke '#ff3030' -strokewidth $((s / 10 + 1)) -draw "line 1,$((s / 2)) $((e - 1)),$((s / 2))" \
    -stroke '#e8f4ff' -strokewidth $((s / 16 + 1)) -fill 'rgba(200,230,255,0.45)' \
    -draw "ellipse $((s / 2)),$((s / 2)) $((s / 6)),$((s * 3 / 8)) 0,360" \
    -stroke none -fill '#ffd23a' -draw "circle $((s * 5 / 6)),$((s / 2)) $((s * 5 / 6 + s / 12)),$((s / 2))" \
    PNG32:$tmp/icon$s.png
done
convert $tmp/icon32.png $tmp/icon16.png icon.ico
rm -rf "$tmp"
