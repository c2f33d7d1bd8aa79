#!/usr/bin/env bash
# Draws the bundled demo picture (assets/demo.jpg): colour gradients, rings and the name, made
# here rather than fetched. Usage: make-demo-picture.sh [OUTPUT]
set -euo pipefail
out=${1:-"$(dirname "$0")/../assets/demo.jpg"}
convert=/usr/bin/convert
"$convert" -size 960x720 \
  \( gradient:'#1a2a6c-#fdbb2d' -rotate 90 -resize '960x720!' \) \
  \( -size 960x720 radial-gradient:'#b21f1f-none' \) -compose over -composite \
  -stroke white -strokewidth 6 -fill none \
  -draw "circle 480,360 480,120" -draw "circle 480,360 480,200" -draw "circle 480,360 480,280" \
  -stroke '#00000080' -strokewidth 3 -draw "line 0,719 959,0" -draw "line 0,0 959,719" \
  -stroke none -fill white -pointsize 72 -gravity center -annotate +0+0 'Marvoscope' \
  -quality 88 "$out"
echo "$out"
