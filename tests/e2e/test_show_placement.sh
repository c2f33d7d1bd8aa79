#!/usr/bin/env bash
# The stored placement on a 1280x720 screen, with an 800x600 picture: stretched as ever, whole
# (960x720 with 160-pixel bars in the background colour) or filling the screen (its bands cut
# off); a transparent GIF fitted whole keeps its frames in place and its hole shows the colour.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_make_bands "$E2E_TMP/bands.bmp"
/usr/bin/convert "$E2E_TMP/bands.bmp" -alpha set \( -size 200x200 xc:none \) -geometry +300+200 \
  -compose copy -composite "$E2E_TMP/hole.png"
/usr/bin/convert "$E2E_TMP/hole.png" \( -clone 0 \) \( -clone 0 \) -set delay 10 -loop 0 "$E2E_TMP/hole.gif"
e2e_setting Mousesens 30
e2e_setting BackColors 16711808   # violet, 0x00FF0080
violet='#8000ff'

# shows PICTURE MODE LIMIT: the show of PICTURE placed by MODE matches the expected screen.
shows() {
  e2e_setting AniFile "$1"
  e2e_setting Placement "$2"
  e2e_placed "$1[0]" 1280x720 "$(tr '[:upper:]' '[:lower:]' <<<"$2")" "$violet" "$E2E_TMP/want-$2.png"
  xdotool mousemove 640 360
  e2e_start /S
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "$2: no saver window"
  e2e_wait_picture "placed-$2-$(basename "$1")" "$E2E_TMP/want-$2.png" "$3" 5 ||
    e2e_fail "$2: the screen is not the picture placed so (RMSE $E2E_RMSE)"
  e2e_log "$2, $(basename "$1"): RMSE $E2E_RMSE against the expected screen"
}

shows "$E2E_TMP/bands.bmp" Stretch 0.01
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "Stretch fills the screen as ever"

shows "$E2E_TMP/bands.bmp" fit 0.01
for at in "159 360" "1120 360" "0 0" "1279 719"; do
  [ "$(e2e_pixel "$E2E_SHOT" $at)" = "128,0,255" ] || e2e_fail "Fit: the bar at $at is $(e2e_pixel "$E2E_SHOT" $at)"
done
for at in "160 360" "1119 360" "640 0" "640 719"; do
  [ "$(e2e_pixel "$E2E_SHOT" $at)" != "128,0,255" ] || e2e_fail "Fit: the picture at $at is background"
done
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "Fit: 960x720 centred, 160-pixel bars of exactly the background colour"

shows "$E2E_TMP/bands.bmp" FILL 0.01
for at in "0 0" "1279 0" "0 719" "1279 719"; do
  [ "$(e2e_pixel "$E2E_SHOT" $at)" = "255,0,0" ] || e2e_fail "Fill: $at is $(e2e_pixel "$E2E_SHOT" $at), not red"
done
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "Fill covers the screen, the bands cut off"

shows "$E2E_TMP/hole.gif" Fit 0.01
# Every frame is painted in the same place: later screenshots stay the picture.
for i in 1 2 3; do
  e2e_screenshot "gif-fit-again-$i"
  rmse=$(e2e_rmse "$E2E_SHOT" "$E2E_TMP/want-Fit.png")
  awk "BEGIN { exit !($rmse < 0.01) }" || e2e_fail "a later frame of the GIF is placed otherwise (RMSE $rmse)"
done
[ "$(e2e_pixel "$E2E_SHOT" 640 360)" = "128,0,255" ] || e2e_fail "the GIF's hole shows $(e2e_pixel "$E2E_SHOT" 640 360)"
e2e_end_animated_show
e2e_pass "a transparent GIF fitted whole: its frames stay in place, its hole shows the background colour"
