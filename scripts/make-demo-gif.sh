#!/usr/bin/env bash
# Draws the bundled demo animation (assets/demo.gif), made here rather than fetched: a still
# scene with a window cut out of it, through which the show's background colour is seen, and
# a ball bouncing across. Optimised as most GIFs are: after the first frame each frame holds
# only the rectangle that changed, with the unchanged pixels transparent.
# Usage: make-demo-gif.sh [OUTPUT]
set -euo pipefail
out=${1:-"$(dirname "$0")/../assets/demo.gif"}
convert=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The scene: sky, hills and the name, with a transparent round window in the top left. It is
# 800 pixels wide, so that stretched to a common screen it still looks sharp.
"$convert" -size 800x500 gradient:'#1a2a6c-#fdbb2d' \
  -fill '#2e7d32' -draw "ellipse 200,538 375,175 0,360" -fill '#388e3c' -draw "ellipse 625,563 400,200 0,360" \
  -fill white -pointsize 70 -gravity south -annotate +0+20 'Marvoscope' \
  \( -size 800x500 xc:white -fill black -draw "circle 150,138 150,50" \) \
  -alpha off -compose copy-opacity -composite "$work/scene.png"

frames=()
for i in $(seq 0 23); do
  # The ball's path: across the scene and back, bouncing on the hills, clear of the window
  # (a pixel once drawn cannot turn transparent again in a frame that only adds).
  x=$(( i < 12 ? 325 + i * 37 : 325 + (23 - i) * 37 ))
  y=$(awk "BEGIN { t = ($i % 6) / 6; printf \"%d\", 375 - 750 * t * (1 - t) }")
  "$convert" "$work/scene.png" -fill '#e53935' -stroke white -strokewidth 5 \
    -draw "circle $x,$y $((x + 35)),$y" "$work/f$i.png"
  frames+=("$work/f$i.png")
done
"$convert" -delay 8 -dispose none "${frames[@]}" +dither -loop 0 -layers optimize "$out"
echo "$out"
