#!/usr/bin/env bash
# While one show runs, a second /S ends at once and leaves the first one on the screen.
source "$(dirname "$0")/lib.sh"

/usr/bin/convert -size 16x16 xc:orange "$WORK/one.bmp" || fail "make bmp"
reset_settings
set_setting AniFile "$(winpath "$WORK/one.bmp")"

start_scr /S
first=$LAST_PID
win=$(wait_window Marvoscope 30) || fail "no saver window"
sleep 1
start_scr /S
wait_exit "$LAST_PID" 20 || fail "the second show did not end"
[ "$EXIT_STATUS" -eq 0 ] || fail "second show exit status $EXIT_STATUS"
kill -0 "$first" 2>/dev/null || fail "the first show ended too"
[ "$(xdotool search --onlyvisible --name '^Marvoscope$' | wc -l)" -eq 1 ] || fail "more than one saver window"
xdotool mousemove --window "$win" 10 10 click 1
wait_exit "$first" 20 || fail "the first show did not end on a click"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
