#!/usr/bin/env bash
# Photos show as a photo viewer shows them: a JPEG stored sideways with an Exif orientation of
# 6 stands upright, and a PNG's transparent hole shows the stored background colour.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 800x600
e2e_setting Mousesens 30

# 400 x 200 as stored, blue left and red right; turned a quarter clockwise: blue on top.
pic="$E2E_TMP/sideways.jpg"
/usr/bin/convert -size 200x200 xc:blue \( -size 200x200 xc:red \) +append -quality 95 "$pic" || e2e_fail "make jpg"
e2e_exif_orientation "$pic" 6
e2e_setting AniFile "$pic"
e2e_setting BackColors 0
xdotool mousemove 400 300
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window"
e2e_wait_pixel upright 200 150 0,0,255 5 40 || e2e_fail "top left is $(e2e_pixel "$E2E_SHOT" 200 150), not blue"
shot=$E2E_SHOT
e2e_near "$(e2e_pixel "$shot" 600 150)" 0,0,255 || e2e_fail "top right is $(e2e_pixel "$shot" 600 150), not blue"
e2e_near "$(e2e_pixel "$shot" 200 450)" 255,0,0 || e2e_fail "bottom left is $(e2e_pixel "$shot" 200 450), not red"
e2e_near "$(e2e_pixel "$shot" 600 450)" 255,0,0 || e2e_fail "bottom right is $(e2e_pixel "$shot" 600 450), not red"
e2e_pass "a photo of orientation 6 shows its top half blue"
xdotool key space
e2e_wait_exit 3 || e2e_fail "the show did not end on a key"

# Green with a transparent hole in the middle; the background colour 0x00804020 is #204080.
png="$E2E_TMP/hole.png"
/usr/bin/convert -size 64x48 xc:lime -alpha set \( -size 32x24 xc:none \) -geometry +16+12 -compose copy -composite \
  "$png" || e2e_fail "make png"
e2e_setting AniFile "$png"
e2e_setting BackColors 8405024
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window for the PNG"
e2e_wait_pixel hole 400 300 32,64,128 5 8 || e2e_fail "the hole shows $(e2e_pixel "$E2E_SHOT" 400 300), not the background"
e2e_near "$(e2e_pixel "$E2E_SHOT" 50 50)" 0,255,0 8 || e2e_fail "the PNG's edge is $(e2e_pixel "$E2E_SHOT" 50 50), not green"
e2e_pass "a PNG's transparent hole shows the background colour"
xdotool key space
e2e_wait_exit 3 || e2e_fail "the PNG show did not end on a key"
