#!/usr/bin/env bash
# Draws the PNG sizes of the icon from the same triangles as
# org.tessera.Tessera.svg, with ImageMagick's own polygon drawing (run by hand
# when the icon changes; the PNGs are kept in the tree).
set -euo pipefail
cd "$(dirname "$0")"
triangles=(
  "#8ecbff 128,16 40,72 128,112"
  "#4aa3f0 128,16 216,72 128,112"
  "#5fb2ff 40,72 40,184 128,112"
  "#1f6fc4 216,72 216,184 128,112"
  "#2f86e0 40,184 128,240 128,112"
  "#134f93 216,184 128,240 128,112"
)
for size in 16 22 24 32 48 64 128 256; do
  draw=()
  for t in "${triangles[@]}"; do
    read -r colour points <<<"$t"
    draw+=(-fill "$colour" -draw "polygon $points")
  done
  mkdir -p "${size}x${size}"
  # Drawn at 256 with the outline, then scaled down smoothly.
  convert -size 256x256 xc:none -stroke '#0b2545' -strokewidth 6 "${draw[@]}" \
    -resize "${size}x${size}" "PNG32:${size}x${size}/org.tessera.Tessera.png"
done
