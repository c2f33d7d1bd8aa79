#!/usr/bin/env bash
# The setup dialog from the keyboard, as a user without a mouse would work it: a colour slider
# colours the swatch and is saved, the sensitivity box takes two characters at most, and
# "Browse" picks the picture through the system's file-open dialog.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

keys() { xdotool key --delay 120 "$@"; sleep 0.4; }
open_dialog() {
  e2e_start /C
  win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "no setup dialog"
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
  e2e_wait_exit 20 || { e2e_screenshot not-closed; e2e_fail "the dialog did not close"; }
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
}

# Colours: the focus starts on "Save settings, Close"; Tab reaches the tab strip, Right twice
# selects "Colors", Tab reaches the red slider, Right moves it by its small change of 10.
e2e_clear_settings
open_dialog
keys Tab Right Right Tab Right Right Right
e2e_screenshot setup-colors; shot=$E2E_SHOT
swatch=$(/usr/bin/convert "$shot" -format %c histogram:info:- | grep -E '\( *30, *0, *0\)' | awk '{print $1+0}')
e2e_log "swatch pixels of red 30: ${swatch:-0}"
[ "${swatch:-0}" -gt 2000 ] || e2e_fail "the swatch does not show red 30"
keys shift+Tab shift+Tab   # back to "Save settings, Close"
e2e_screenshot setup-colors-back
keys space
close_saving
[ "$(e2e_get_setting BackColors)" = "30" ] || e2e_fail "BackColors is '$(e2e_get_setting BackColors)', not 30"

# Sensitivity: a third typed character is refused.
open_dialog
keys Tab Right Tab ctrl+a
xdotool type --delay 150 "123"; sleep 0.4
e2e_screenshot setup-mouse
[ -n "$(/usr/bin/convert "$E2E_SHOTS/setup-mouse.png" -format %c histogram:info:- | head -1)" ] || e2e_fail "screenshot"
keys shift+Tab shift+Tab space
close_saving
[ "$(e2e_get_setting Mousesens)" = "12" ] || e2e_fail "Mousesens is '$(e2e_get_setting Mousesens)', not 12"

# Browse: the file-open dialog returns the chosen path into the path box.
/usr/bin/convert -size 8x8 xc:purple "$E2E_TMP/chosen.bmp" || e2e_fail "make bmp"
chosen=$(e2e_winpath "$E2E_TMP/chosen.bmp")
open_dialog
keys Tab Tab space
open=$(e2e_wait_window Open 20) || e2e_fail "no file-open dialog"
sleep 0.8
xdotool windowfocus --sync "$open" 2>/dev/null
xdotool type --delay 60 "$chosen"; sleep 0.3
e2e_screenshot file-dialog
keys Return
sleep 0.8
e2e_screenshot setup-browsed
keys shift+Tab shift+Tab space
close_saving
[ "$(e2e_get_setting AniFile)" = "$chosen" ] || e2e_fail "AniFile is '$(e2e_get_setting AniFile)', not $chosen"
e2e_pass "colour, sensitivity and Browse work from the keyboard and are saved"
