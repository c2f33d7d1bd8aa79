#!/usr/bin/env bash
# While one show runs, a second /S ends at once and leaves the first one on the screen.
source "$(dirname "$0")/lib.sh"

/usr/bin/convert -size 16x16 xc:orange "$WORK/one.bmp" || fail "make bmp"
reset_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
set_setting Mousesens 30
set_setting AniFile "$(winpath "$WORK/one.bmp")"

start_scr /S
first=$LAST_PID
win=$(wait_window Marvoscope 30) || {
  screenshot first-show-missing >/dev/null
  fail "no saver window; windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | sort | uniq -c | tr '\n' '|')"
}
sleep 1
start_scr /S
wait_exit "$LAST_PID" 40 || {
  screenshot second-show-stuck >/dev/null
  fail "the second show did not end; windows: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
}
[ "$EXIT_STATUS" -eq 0 ] || fail "second show exit status $EXIT_STATUS"
kill -0 "$first" 2>/dev/null || fail "the first show ended too"
[ "$(xdotool search --onlyvisible --name '^Marvoscope$' | wc -l)" -eq 1 ] || fail "more than one saver window"
xdotool mousemove --window "$win" 10 10 click 1
wait_exit "$first" 20 || fail "the first show did not end on a click"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
