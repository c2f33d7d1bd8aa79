#!/usr/bin/env bash
# On a desktop scaled to twice the density the show paints at the screen's device pixels: a
# picture of one-pixel stripes at the screen's own size appears pixel for pixel.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
/usr/bin/convert -size 1280x1024 xc: -fx "i % 2" -type truecolor "BMP3:$E2E_TMP/stripes.bmp"
e2e_setting AniFile "$E2E_TMP/stripes.bmp"
e2e_setting Mousesens 30
QT_SCALE_FACTOR=2 e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window"
# The first screenshot that is no longer the empty desktop shows the painted picture.
painted() {
  e2e_screenshot stripes-x2
  [ "$(e2e_pixel "$E2E_SHOT" 641 512)" != "0,0,0" ] || [ "$(e2e_pixel "$E2E_SHOT" 640 512)" != "0,0,0" ]
}
e2e_wait_until 10 painted || e2e_fail "the show painted nothing"
rmse=$(e2e_rmse "$E2E_SHOT" "$E2E_TMP/stripes.bmp")
e2e_log "stripes at scale factor 2: RMSE $rmse"
awk "BEGIN { exit !($rmse < 0.02) }" || e2e_fail "the stripes are not shown pixel for pixel (RMSE $rmse)"
e2e_pass "a picture of the screen's size shows pixel for pixel at scale factor 2 (RMSE $rmse)"
xdotool key space
e2e_wait_exit 3 || e2e_fail "a key did not end the show"
