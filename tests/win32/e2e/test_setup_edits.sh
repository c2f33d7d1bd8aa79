#!/usr/bin/env bash
# The setup dialog from the keyboard, as a user without a mouse would work it: a colour slider
# colours the swatch and is saved, the sensitivity box takes two characters at most, and
# "Browse" picks the picture through the system's file-open dialog.
source "$(dirname "$0")/lib.sh"

keys() { xdotool key --delay 120 "$@"; sleep 0.4; }
open_dialog() {
  start_scr /C
  win=$(wait_window "Make a Marvoscope" 30) || fail "no setup dialog"
  sleep 0.8
  # No window manager runs: give the dialog the keyboard and park the pointer on its caption.
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 8))
  for _ in $(seq 20); do
    xdotool windowfocus "$win" 2>/dev/null
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ] && break
    sleep 0.2
  done
  sleep 1
}
close_saving() {
  wait_exit "$LAST_PID" 20 || { screenshot not-closed >/dev/null; fail "the dialog did not close"; }
  [ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
}

# Colours: the focus starts on "Save settings, Close"; Tab reaches the tab strip, Right twice
# selects "Colors", Tab reaches the red slider, Right moves it by its small change of 10.
reset_settings
open_dialog
keys Tab Right Right Tab Right Right Right
shot=$(screenshot setup-colors)
swatch=$(/usr/bin/convert "$shot" -format %c histogram:info:- | grep -E '\( *30, *0, *0\)' | awk '{print $1+0}')
note "swatch pixels of red 30: ${swatch:-0}"
[ "${swatch:-0}" -gt 2000 ] || fail "the swatch does not show red 30"
keys shift+Tab shift+Tab   # back to "Save settings, Close"
screenshot setup-colors-back >/dev/null
keys space
close_saving
[ "$(get_setting BackColors)" = "30" ] || fail "BackColors is '$(get_setting BackColors)', not 30"

# Sensitivity: a third typed character is refused.
open_dialog
keys Tab Right Tab ctrl+a
xdotool type --delay 150 "123"; sleep 0.4
screenshot setup-mouse >/dev/null
[ -n "$(/usr/bin/convert "$SHOTS/setup-mouse.png" -format %c histogram:info:- | head -1)" ] || fail "screenshot"
keys shift+Tab shift+Tab space
close_saving
[ "$(get_setting Mousesens)" = "12" ] || fail "Mousesens is '$(get_setting Mousesens)', not 12"

# Browse: the file-open dialog returns the chosen path into the path box.
/usr/bin/convert -size 8x8 xc:purple "$WORK/chosen.bmp" || fail "make bmp"
chosen=$(winpath "$WORK/chosen.bmp")
open_dialog
keys Tab Tab space
open=$(wait_window Open 20) || fail "no file-open dialog"
sleep 0.8
xdotool windowfocus --sync "$open" 2>/dev/null
xdotool type --delay 60 "$chosen"; sleep 0.3
screenshot file-dialog >/dev/null
keys Return
sleep 0.8
screenshot setup-browsed >/dev/null
keys shift+Tab shift+Tab space
close_saving
[ "$(get_setting AniFile)" = "$chosen" ] || fail "AniFile is '$(get_setting AniFile)', not $chosen"
echo "PASS"
