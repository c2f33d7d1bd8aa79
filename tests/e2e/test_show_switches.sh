#!/usr/bin/env bash
# The command-line switches: configure, show, preview, password and garbage.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 800x600

pic="$E2E_TMP/photo.jpg"
e2e_make_jpg "$pic" 160x120
e2e_setting AniFile "$pic"
e2e_setting Mousesens 30

for sw in "/c:1234" "/C" "/c" "/CONFIG"; do
  e2e_start "$sw"
  e2e_wait_window "Make a Marvoscope" 5 >/dev/null || e2e_fail "$sw: no setup window"
  [ -z "$(e2e_find_window Marvoscope)" ] || e2e_fail "$sw: the saver window showed"
  e2e_close_window "Make a Marvoscope"
  e2e_wait_exit 3 || e2e_fail "$sw: did not end with its window"
  e2e_pass "$sw opens the setup window"
done

for sw in "/s" "  /S  " "/SHOW" ""; do
  if [ -n "$sw" ]; then e2e_start "$sw"; else e2e_start; fi
  e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "'$sw': no show"
  xdotool key x
  e2e_wait_exit 2 || e2e_fail "'$sw': the show did not end on a key"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "'$sw': exit status $E2E_STATUS"
  e2e_pass "'$sw' starts the show"
done

e2e_start /p 1234
e2e_wait_exit 2 || e2e_fail "/p 1234 did not end at once"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "/p 1234: exit status $E2E_STATUS"
e2e_pass "/p 1234 exits 0 at once"

# An option the program does not know is a mistake on a shell's command line: status 2.
for sw in "-s" "s" "/" "/X"; do
  e2e_start "$sw"
  e2e_wait_exit 2 || e2e_fail "'$sw' did not end at once"
  want=0; [ "$sw" = "-s" ] && want=2
  [ "$E2E_STATUS" -eq "$want" ] || e2e_fail "'$sw': exit status $E2E_STATUS"
  e2e_pass "'$sw' exits with no window"
done

e2e_start /a
id=$(e2e_wait_window Error 5) || e2e_fail "/a: no message box"
xwininfo -id "$id" >/dev/null || e2e_fail "/a: message box vanished"
e2e_screenshot message
e2e_alive || e2e_fail "/a ended before the message was answered"
e2e_close_window Error || e2e_fail "/a: cannot answer the message"
e2e_wait_exit 3 || e2e_fail "/a: did not end after the message"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "/a: exit status $E2E_STATUS"
e2e_pass "/a shows the Error message box and ends after it"
