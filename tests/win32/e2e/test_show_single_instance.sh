#!/usr/bin/env bash
# While one show runs, a second /S ends at once and leaves the first one on the screen.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

/usr/bin/convert -size 16x16 xc:orange "$E2E_TMP/one.bmp" || e2e_fail "make bmp"
e2e_clear_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/one.bmp")"

e2e_start /S
first=$E2E_PID
win=$(e2e_wait_window Marvoscope 30) || {
  e2e_screenshot first-show-missing
  e2e_fail "no saver window; windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | sort | uniq -c | tr '\n' '|')"
}
e2e_wait_pixel first-show 512 384 255,165,0 10 30 || e2e_fail "the first show does not show its picture"
e2e_start /S
e2e_wait_exit 40 || {
  e2e_screenshot second-show-stuck
  e2e_fail "the second show did not end; windows: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
}
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "second show exit status $E2E_STATUS"
kill -0 "$first" 2>/dev/null || e2e_fail "the first show ended too"
[ "$(xdotool search --onlyvisible --name '^Marvoscope$' | wc -l)" -eq 1 ] || e2e_fail "more than one saver window"
xdotool mousemove --window "$win" 10 10 click 1
e2e_wait_exit 20 "$first" || e2e_fail "the first show did not end on a click"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "a second show ends at once and leaves the first one"
