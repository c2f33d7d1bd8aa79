#!/usr/bin/env bash
# The other switches: /A answers with the "Error" box, /P 123 ends at once without a window,
# an unknown switch ends silently; all with exit status 0.
source "$(dirname "$0")/lib.sh"

start_scr /A
box=$(wait_window Error 30) || fail "no Error box for /A"
shot=$(screenshot password-box)
note "password box screenshot $shot"
press Return "$box"
wait_exit "$LAST_PID" 20 || fail "/A did not end after the box"
[ "$EXIT_STATUS" -eq 0 ] || fail "/A exit status $EXIT_STATUS"

for args in "/P 123" "/X"; do
  start_scr $args
  wait_exit "$LAST_PID" 15 || fail "$args did not end at once"
  [ "$EXIT_STATUS" -eq 0 ] || fail "$args exit status $EXIT_STATUS"
  [ -z "$(xdotool search --onlyvisible --name '^Marvoscope$' 2>/dev/null)" ] || fail "$args left a window"
done
echo "PASS"
