#!/usr/bin/env bash
# The setup dialog from the keyboard, as a user without a mouse would work it: a colour slider
# colours the swatch and is saved, the sensitivity box takes two characters at most, and
# "Browse" picks the picture through the system's file-open dialog.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

# Keys go through the X server in order, so each reaches the control the keys before it chose;
# the checks wait for what the keys change on the screen, in the store or in the windows.
keys() { xdotool key "$@"; }
open_dialog() {
  e2e_start /C
  win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "no setup dialog"
  # No window manager runs: park the pointer on the dialog's caption and give it the keyboard.
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + 8))
  e2e_focus "$win" 10 || e2e_fail "the setup dialog did not take the keyboard"
  e2e_wait_painted "$win" 10 || e2e_fail "the setup dialog was not painted"
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
swatch_shows_red_30() {
  e2e_screenshot setup-colors
  swatch=$(/usr/bin/convert "$E2E_SHOT" -format %c histogram:info:- | grep -E '\( *30, *0, *0\)' | awk '{print $1+0}')
  [ "${swatch:-0}" -gt 2000 ]
}
e2e_wait_until 10 swatch_shows_red_30 || e2e_fail "the swatch does not show red 30 (${swatch:-0} pixels)"
e2e_log "swatch pixels of red 30: ${swatch:-0}"
keys shift+Tab shift+Tab space   # back to "Save settings, Close" and press it
close_saving
[ "$(e2e_get_setting BackColors)" = "30" ] || e2e_fail "BackColors is '$(e2e_get_setting BackColors)', not 30"

# Sensitivity: a third typed character is refused.
open_dialog
keys Tab Right Tab ctrl+a
xdotool type "123"
keys shift+Tab shift+Tab space
close_saving
[ "$(e2e_get_setting Mousesens)" = "12" ] || e2e_fail "Mousesens is '$(e2e_get_setting Mousesens)', not 12"

# Browse: the file-open dialog returns the chosen path into the path box.
/usr/bin/convert -size 8x8 xc:purple "$E2E_TMP/chosen.bmp" || e2e_fail "make bmp"
chosen=$(e2e_winpath "$E2E_TMP/chosen.bmp")
open_dialog
keys Tab Tab space
open=$(e2e_wait_window Open 20) || e2e_fail "no file-open dialog"
e2e_focus "$open" 10 || e2e_fail "the file-open dialog did not take the keyboard"
e2e_wait_painted "$open" 10 || e2e_fail "the file-open dialog was not painted"
xdotool type "$chosen"
e2e_screenshot file-dialog
keys Return
e2e_wait_no_window Open 10 || e2e_fail "the file-open dialog did not close on Return"
e2e_focus "$win" 10 || e2e_fail "the setup dialog did not take the keyboard back"
e2e_screenshot setup-browsed
keys shift+Tab shift+Tab space
close_saving
[ "$(e2e_get_setting AniFile)" = "$chosen" ] || e2e_fail "AniFile is '$(e2e_get_setting AniFile)', not $chosen"
e2e_pass "colour, sensitivity and Browse work from the keyboard and are saved"
