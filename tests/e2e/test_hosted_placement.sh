#!/usr/bin/env bash
# Hosted mode with --placement fit in a 320x240 window: a portrait picture is shown whole with
# bars of the background colour beside it, whatever placement is stored; without the switch
# the stored one applies.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 1024x768

e2e_make_bands "$E2E_TMP/bands.bmp"
/usr/bin/convert "$E2E_TMP/bands.bmp" -rotate 90 -type truecolor "BMP3:$E2E_TMP/portrait.bmp"
e2e_setting AniFile "$E2E_TMP/portrait.bmp"
e2e_setting Mousesens 1
e2e_setting BackColors 16711808   # violet
e2e_setting Placement Fill
e2e_setting Monitors Span

# in_window NAME MODE: the window's area matches the picture placed by MODE in 320x240.
in_window() {
  e2e_placed "$E2E_TMP/portrait.bmp" 320x240 "$2" '#8000ff' "$E2E_TMP/want-$2.png"
  _window_matches() {
    e2e_screenshot "$1"
    /usr/bin/convert "$E2E_SHOT" -crop 320x240+100+100 +repage "$E2E_TMP/crop.png"
    E2E_RMSE=$(e2e_rmse "$E2E_TMP/crop.png" "$E2E_TMP/want-$2.png")
    awk "BEGIN { exit !($E2E_RMSE < 0.01) }"
  }
  e2e_wait_until 5 _window_matches "$1" "$2"
}

e2e_host_window 100 100 320 240
e2e_start --window-id "$E2E_HOST_ID" --placement fit
in_window hosted-fit fit || e2e_fail "--placement fit: the window is not the whole picture (RMSE $E2E_RMSE)"
e2e_log "--placement fit in 320x240: RMSE $E2E_RMSE"
[ "$(e2e_pixel "$E2E_TMP/crop.png" 69 120)" = "128,0,255" ] && [ "$(e2e_pixel "$E2E_TMP/crop.png" 250 120)" = "128,0,255" ] ||
  e2e_fail "the bars are not the background colour"
e2e_ends_on TERM "--placement fit"
e2e_pass "--placement fit shows the whole picture with 70-pixel bars, over the stored Fill and Span"

e2e_start --window-id "$E2E_HOST_ID"
in_window hosted-stored fill || e2e_fail "without --placement the stored Fill does not apply (RMSE $E2E_RMSE)"
e2e_ends_on TERM "stored placement"
e2e_pass "without the switch the stored placement applies"
