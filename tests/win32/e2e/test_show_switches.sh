#!/usr/bin/env bash
# The other switches: /A answers with the "Error" box, /P 123 ends at once without a window,
# an unknown switch ends silently, --version answers in a box; all with exit status 0.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

e2e_start /A
box=$(e2e_wait_window Error 30) || e2e_fail "no Error box for /A"
e2e_screenshot password-box; shot=$E2E_SHOT
e2e_log "password box screenshot $shot"
e2e_press Return "$box"
e2e_wait_exit 20 || e2e_fail "/A did not end after the box"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "/A exit status $E2E_STATUS"

for args in "/P 123" "/X"; do
  e2e_start $args
  e2e_wait_exit 15 || e2e_fail "$args did not end at once"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$args exit status $E2E_STATUS"
  [ -z "$(xdotool search --onlyvisible --name '^Marvoscope$' 2>/dev/null)" ] || e2e_fail "$args left a window"
done
e2e_pass "/A, /P and an unknown switch end as they should"

# A GUI program has no console: --version and --help answer in a box of their own, whose title
# is not the saver window's (a show started meanwhile must not take it for a running one).
e2e_start --version
box=$(e2e_wait_window Marvoscope.scr 30) || e2e_fail "no box for --version"
e2e_press Return "$box"
e2e_wait_exit 20 || e2e_fail "--version did not end after the box"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "--version exit status $E2E_STATUS"
e2e_start -s
e2e_wait_exit 15 || e2e_fail "-s did not end at once"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "-s exit status $E2E_STATUS"
e2e_pass "--version answers in a box; -s still ends silently"
