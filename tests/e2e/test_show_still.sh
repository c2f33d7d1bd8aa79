#!/usr/bin/env bash
# A stored 640x480 JPG fills a 1280x1024 screen stretched, with the pointer hidden; small
# pointer steps keep the show, a step of the sensitivity ends it with status 0.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024

pic="$E2E_TMP/photo.jpg"
e2e_make_jpg "$pic" 640x480
e2e_setting AniFile "$pic"
e2e_setting Mousesens 15
e2e_setting BackColors 0

xdotool mousemove 640 512
start=$(e2e_now_ms)
e2e_start /S
e2e_wait_window Marvoscope 2 >/dev/null || e2e_fail "no saver window within 2 s"
e2e_log "saver window up after $(( $(e2e_now_ms) - start )) ms"

/usr/bin/convert "$pic" -resize '1280x1024!' "$E2E_TMP/expected.png"
e2e_wait_picture still-1280x1024 "$E2E_TMP/expected.png" 0.03 3 ||
  e2e_fail "screenshot does not match the stretched picture (RMSE $E2E_RMSE)"
shot=$E2E_SHOT
e2e_log "screenshot vs. picture stretched to 1280x1024: RMSE $E2E_RMSE"
# The corners of the distinct regions land where a 2 x 2.1333 stretch puts them.
[ "$(e2e_pixel "$shot" 100 100)" != "$(e2e_pixel "$shot" 1200 1000)" ] || e2e_fail "regions not distinct"
e2e_pass "screenshot matches the stretched picture"

# Another window over the show and away again: the picture comes back whole.
/usr/bin/convert -size 300x200 xc:white "$E2E_TMP/cover.png"
display -geometry +100+100 "$E2E_TMP/cover.png" &
cover=$!
E2E_PIDS+=("$cover")
covers() { e2e_screenshot covered; covered=$(e2e_rmse "$shot" "$E2E_SHOT"); awk "BEGIN { exit !($covered > 0.05) }"; }
e2e_wait_until 5 covers || e2e_fail "the covering window did not show (RMSE $covered)"
kill "$cover"; wait "$cover" 2>/dev/null
e2e_wait_picture uncovered "$shot" 0.002 3 ||
  e2e_fail "covering and uncovering did not restore the picture (covered $covered, after $E2E_RMSE)"
e2e_alive || e2e_fail "covering the window ended the show"
e2e_pass "the picture survives being covered and uncovered"

e2e_cursor_hidden || e2e_fail "the pointer is visible during the show"
e2e_pass "pointer hidden"

xdotool mousemove 645 512
# The program measures each pointer event from the one before, and two moves sent at once
# would reach it as one: it needs the pause to see two steps.
sleep 0.3
xdotool mousemove 650 512
! e2e_wait_exit 0.3 || e2e_fail "a 5 px step ended the show"
e2e_pass "5 px steps keep the show with sensitivity 15"

xdotool mousemove 665 512
moved=$(e2e_now_ms)
e2e_wait_exit 1 || e2e_fail "a 15 px step did not end the show within 1 s"
e2e_log "ended $(( $(e2e_now_ms) - moved )) ms after the 15 px step"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ -z "$(e2e_find_window Marvoscope)" ] || e2e_fail "saver window still mapped"
e2e_cursor_hidden && e2e_fail "the pointer is still hidden after the show"
e2e_pass "a 15 px step ends the show, status 0, pointer visible"
