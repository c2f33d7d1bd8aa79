#!/usr/bin/env bash
# A second show while one runs ends at once and leaves the first one the screen; an instance
# that shows only the setup dialog blocks nobody.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 800x600

pic="$E2E_TMP/photo.jpg"
e2e_make_jpg "$pic" 320x240
e2e_setting AniFile "$pic"
e2e_setting Mousesens 30

e2e_start /S
first=$E2E_PID
e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "first show did not start"
/usr/bin/convert "$pic" -resize '800x600!' "$E2E_TMP/expected.png"
e2e_wait_picture before "$E2E_TMP/expected.png" 0.03 3 || e2e_fail "the first show does not show the picture (RMSE $E2E_RMSE)"

e2e_start /S
second=$E2E_PID
e2e_wait_exit 2 "$second" || e2e_fail "the second show is still running"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "second show: exit status $E2E_STATUS"
e2e_alive "$first" || e2e_fail "the first show ended"
[ "$(e2e_find_window Marvoscope | wc -l)" -ge 1 ] || e2e_fail "the saver window is gone"
e2e_screenshot after
rmse=$(e2e_rmse "$E2E_SHOTS/before.png" "$E2E_SHOTS/after.png")
awk "BEGIN { exit !($rmse < 0.01) }" || e2e_fail "the screen changed (RMSE $rmse)"
e2e_cursor_hidden || e2e_fail "the pointer came back"
e2e_pass "a second /S exits at once, the first keeps the screen"

xdotool key space
e2e_wait_exit 2 "$first" || e2e_fail "the first show did not end on a key"

# A setup dialog of another instance does not stop a show.
e2e_start /c
config=$E2E_PID
e2e_wait_window "Make a Marvoscope" 5 >/dev/null || e2e_fail "no setup window"
e2e_start /S
show=$E2E_PID
e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "the show did not start beside another instance's setup dialog"
xdotool key space
e2e_wait_exit 2 "$show" || e2e_fail "the show did not end"
e2e_alive "$config" || e2e_fail "the setup dialog of the other instance went away"
e2e_close_window "Make a Marvoscope"
e2e_wait_exit 3 "$config" || e2e_fail "the setup dialog did not close"
e2e_pass "the setup dialog of another instance does not block a show"

# After the first show ended, the next one starts normally.
e2e_start /S
e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "no show after the first one ended"
xdotool key space
e2e_wait_exit 2 || e2e_fail "the last show did not end"
e2e_pass "a show after the end of another starts normally"
