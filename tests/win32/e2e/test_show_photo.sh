#!/usr/bin/env bash
# Photos show as a photo viewer shows them: a JPEG stored sideways with an Exif orientation of
# 6 stands upright, and a PNG's transparent hole shows the stored background colour.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
read -r sw sh < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\).*/\1 \2/p')
e2e_clear_settings
e2e_setting Mousesens 30

# 400 x 200 as stored, blue left and red right; turned a quarter clockwise: blue on top.
pic="$E2E_TMP/sideways.jpg"
/usr/bin/convert -size 200x200 xc:blue \( -size 200x200 xc:red \) +append -quality 95 "$pic" || e2e_fail "make jpg"
e2e_exif_orientation "$pic" 6
e2e_setting AniFile "$(e2e_winpath "$pic")"
e2e_setting BackColors 0
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
left=$((sw / 4)) right=$((sw * 3 / 4)) top=$((sh / 4)) bottom=$((sh * 3 / 4))
e2e_wait_pixel upright "$left" "$top" 0,0,255 10 40 || e2e_fail "top left is $(e2e_pixel "$E2E_SHOT" "$left" "$top"), not blue"
shot=$E2E_SHOT
e2e_near "$(e2e_pixel "$shot" "$right" "$top")" 0,0,255 || e2e_fail "top right is $(e2e_pixel "$shot" "$right" "$top"), not blue"
e2e_near "$(e2e_pixel "$shot" "$left" "$bottom")" 255,0,0 || e2e_fail "bottom left is $(e2e_pixel "$shot" "$left" "$bottom"), not red"
e2e_near "$(e2e_pixel "$shot" "$right" "$bottom")" 255,0,0 || e2e_fail "bottom right is $(e2e_pixel "$shot" "$right" "$bottom"), not red"
e2e_pass "a photo of orientation 6 shows its top half blue"
e2e_press space "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"

# Green with a transparent hole in the middle; the background colour 0x00804020 is #204080.
png="$E2E_TMP/hole.png"
/usr/bin/convert -size 64x48 xc:lime -alpha set \( -size 32x24 xc:none \) -geometry +16+12 -compose copy -composite \
  "$png" || e2e_fail "make png"
e2e_setting AniFile "$(e2e_winpath "$png")"
e2e_setting BackColors 8405024
e2e_wait_until 15 _e2e_no_earlier_window || true
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window for the PNG"
e2e_wait_pixel hole $((sw / 2)) $((sh / 2)) 32,64,128 10 8 ||
  e2e_fail "the hole shows $(e2e_pixel "$E2E_SHOT" $((sw / 2)) $((sh / 2))), not the background"
e2e_near "$(e2e_pixel "$E2E_SHOT" 20 20)" 0,255,0 8 || e2e_fail "the PNG's edge is $(e2e_pixel "$E2E_SHOT" 20 20), not green"
e2e_pass "a PNG's transparent hole shows the background colour"
e2e_press space "$win"
e2e_wait_exit 20 || e2e_fail "the PNG show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
