#!/usr/bin/env bash
# Two real monitors of different sizes (Xorg's dummy driver with two outputs, the primary one
# right of and lower than the other): on each, the whole picture at that monitor's shape; with
# Monitors=Span, one picture over the rectangle holding both, each showing its own part of it;
# with a folder and Monitors=Different, a picture of its own on each, each changing.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_two_monitors
e2e_log "monitors: $(xrandr --listmonitors | tail -n +2 | tr -s ' ' | tr '\n' ';')"

/usr/bin/convert -size 320x240 gradient:red-blue -fill yellow -draw "rectangle 0,0 159,119" \
  -fill lime -draw "rectangle 240,180 319,239" -type truecolor "BMP3:$E2E_TMP/picture.bmp"
e2e_setting AniFile "$E2E_TMP/picture.bmp"
e2e_setting Mousesens 30
e2e_setting BackColors 0

# rmse_of W H X Y EXPECTED: the screenshot's part at X,Y against a picture of that size.
rmse_of() {
  /usr/bin/convert "$E2E_SHOT" -crop "$1x$2+$3+$4" +repage "$E2E_TMP/monitor.png"
  e2e_rmse "$E2E_TMP/monitor.png" "$5"
}
# both_show NAME LEFT PRIMARY: the left monitor and the primary one match their pictures.
both_show() {
  e2e_screenshot "$1"
  left=$(rmse_of 1024 768 0 0 "$2")
  primary=$(rmse_of 1280 720 1024 48 "$3")
  awk "BEGIN { exit !($left < 0.01 && $primary < 0.01) }"
}

/usr/bin/convert "$E2E_TMP/picture.bmp" -resize '1024x768!' "$E2E_TMP/each-left.png"
/usr/bin/convert "$E2E_TMP/picture.bmp" -resize '1280x720!' "$E2E_TMP/each-primary.png"
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window"
e2e_wait_until 5 both_show each "$E2E_TMP/each-left.png" "$E2E_TMP/each-primary.png" ||
  e2e_fail "each monitor does not show the whole picture (RMSE $left, $primary)"
e2e_log "each: left monitor RMSE $left, primary RMSE $primary"
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "each monitor shows the whole picture at its own shape"

# The desk is 2304x768; the primary monitor shows its columns from 1024 and rows from 48.
e2e_setting Monitors Span
/usr/bin/convert "$E2E_TMP/picture.bmp" -resize '2304x768!' "$E2E_TMP/desk.png"
/usr/bin/convert "$E2E_TMP/desk.png" -crop 1024x768+0+0 +repage "$E2E_TMP/span-left.png"
/usr/bin/convert "$E2E_TMP/desk.png" -crop 1280x720+1024+48 +repage "$E2E_TMP/span-primary.png"
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window"
e2e_wait_until 5 both_show span "$E2E_TMP/span-left.png" "$E2E_TMP/span-primary.png" ||
  e2e_fail "the monitors do not show their parts of one picture (RMSE $left, $primary)"
e2e_log "span: left monitor RMSE $left, primary RMSE $primary against their parts of the desk"
# Past desk column 1152 nothing is yellow, and the left monitor holds no green.
e2e_near "$(e2e_pixel "$E2E_SHOT" 1200 100)" 255,255,0 && e2e_fail "the primary monitor shows the yellow corner too"
e2e_near "$(e2e_pixel "$E2E_SHOT" 900 700)" 0,255,0 && e2e_fail "the left monitor shows the green corner too"
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "spanned: one picture across both monitors, each showing its own part, nothing twice"

# A folder with a different picture on each monitor: the two show different pictures, and each
# changes at its own time.
mkdir -p "$E2E_TMP/folder"
for c in red lime blue; do /usr/bin/convert -size 64x48 "xc:$c" -type truecolor "BMP3:$E2E_TMP/folder/$c.bmp"; done
e2e_setting AniFile "$E2E_TMP/folder"
e2e_setting Monitors Different
e2e_setting Interval 2
# Shuffled, three pictures over two monitors may give a monitor the picture it shows once more;
# in folder order that never happens.
e2e_setting Shuffle 0
e2e_setting Fade 0
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window for the folder"
e2e_monitors_differ 512 384 1664 408 5 4
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
e2e_pass "a different picture on each monitor, each changing"
