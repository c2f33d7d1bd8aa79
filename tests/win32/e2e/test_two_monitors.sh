#!/usr/bin/env bash
# /S on a desktop of two monitors of different sizes (an X server with two Xinerama heads):
# each monitor shows the whole picture stretched over it, and a key ends the show. Spanned, one
# picture covers the rectangle holding both, each monitor showing its own part of it. With a
# folder and Monitors=Different, each monitor shows a picture of its own, each changing.
# A Wine server reads the monitors once, when it starts: this check needs a prefix and a
# server of its own, started on the two-headed display.
unset MARVOSCOPE_WINE_READY
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

e2e_start_xvfb 3400x1200
e2e_start_x_server Xephyr +xinerama -extension RANDR -screen 1920x1080 -screen 1280x1024

/usr/bin/convert -size 320x240 gradient:red-blue -fill yellow -draw "rectangle 0,0 159,119" \
  -fill lime -draw "rectangle 240,180 319,239" -quality 95 "$E2E_TMP/picture.jpg" || e2e_fail "make jpg"
e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/picture.jpg")"
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"

# monitor_rmse W H X Y: how far the screenshot's part for one monitor is from the picture
# stretched over it.
monitor_rmse() {
  /usr/bin/convert "$E2E_SHOT" -crop "$1x$2+$3+$4" +repage "$E2E_TMP/monitor.png"
  /usr/bin/convert "$E2E_TMP/picture.jpg" -resize "$1x$2!" "$E2E_TMP/want.png"
  e2e_rmse "$E2E_TMP/monitor.png" "$E2E_TMP/want.png"
}
both_show_it() {
  e2e_screenshot two-monitors
  first=$(monitor_rmse 1920 1080 0 0)
  second=$(monitor_rmse 1280 1024 1920 0)
  awk "BEGIN { exit !($first < 0.06 && $second < 0.06) }"
}
e2e_wait_until 20 both_show_it
e2e_log "monitor 1 RMSE $first, monitor 2 RMSE $second"
awk "BEGIN { exit !($first < 0.06) }" || e2e_fail "monitor 1 does not show the picture (RMSE $first)"
awk "BEGIN { exit !($second < 0.06) }" || e2e_fail "monitor 2 does not show the picture (RMSE $second)"

e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "each monitor shows the whole picture and a key ends the show"

# Spanned: the picture is stretched over the 3200x1080 desk; each monitor shows its part.
e2e_setting Monitors Span
/usr/bin/convert "$E2E_TMP/picture.jpg" -resize '3200x1080!' "$E2E_TMP/desk.png"
part_rmse() {
  /usr/bin/convert "$E2E_SHOT" -crop "$1x$2+$3+$4" +repage "$E2E_TMP/monitor.png"
  /usr/bin/convert "$E2E_TMP/desk.png" -crop "$1x$2+$3+$4" +repage "$E2E_TMP/want.png"
  e2e_rmse "$E2E_TMP/monitor.png" "$E2E_TMP/want.png"
}
each_shows_its_part() {
  e2e_screenshot two-monitors-span
  first=$(part_rmse 1920 1080 0 0)
  second=$(part_rmse 1280 1024 1920 0)
  awk "BEGIN { exit !($first < 0.06 && $second < 0.06) }"
}
e2e_wait_until 15 _e2e_no_earlier_window || true
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window for the spanned show"
e2e_wait_until 20 each_shows_its_part
e2e_log "spanned: monitor 1 RMSE $first, monitor 2 RMSE $second against their parts of the desk"
awk "BEGIN { exit !($first < 0.06 && $second < 0.06) }" || e2e_fail "the monitors do not show their parts (RMSE $first, $second)"
# The yellow corner of the picture is on the first monitor only, the green one on the second only.
e2e_near "$(e2e_pixel "$E2E_SHOT" 100 100)" 255,255,0 || e2e_fail "monitor 1 lacks the yellow corner"
e2e_near "$(e2e_pixel "$E2E_SHOT" 2020 100)" 255,255,0 && e2e_fail "monitor 2 shows the yellow corner again"
e2e_near "$(e2e_pixel "$E2E_SHOT" 3150 1000)" 0,255,0 || e2e_fail "monitor 2 lacks the green corner"
e2e_near "$(e2e_pixel "$E2E_SHOT" 1850 1000)" 0,255,0 && e2e_fail "monitor 1 shows the green corner too"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the spanned show did not end on a key"
e2e_pass "spanned: one picture across both monitors, each showing its own part, nothing twice"

# A folder with a different picture on each monitor: the two show different pictures, and each
# changes at its own time.
mkdir -p "$E2E_TMP/folder"
for c in red lime blue; do /usr/bin/convert -size 64x48 "xc:$c" -quality 95 "$E2E_TMP/folder/$c.jpg"; done
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/folder")"
e2e_setting Monitors Different
e2e_setting Interval 2
# Shuffled, three pictures over two monitors may give a monitor the picture it shows once more;
# in folder order that never happens.
e2e_setting Shuffle 0
e2e_setting Fade 0
e2e_wait_until 15 _e2e_no_earlier_window || true
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window for the folder"
e2e_monitors_differ 960 540 2560 512 20 5
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the folder's show did not end on a key"
e2e_pass "a different picture on each monitor, each changing"
