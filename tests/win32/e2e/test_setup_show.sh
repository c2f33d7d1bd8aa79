#!/usr/bin/env bash
# The "Show" tab by mouse: a different picture on each monitor, no fade and 120 seconds a
# picture are saved, so are "Place", "File name", the clock and the blurred copy of the modal
# "Captions and bars..." dialog, and "Folder..." opens the system's folder chooser in the folder of the
# file in the path box, and the folder chosen there goes into the box.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

mkdir -p "$E2E_TMP/holiday/summer"
folder=$(e2e_winpath "$E2E_TMP/holiday")
e2e_clear_settings
e2e_setting AniFile "$folder\\cat.gif"
e2e_start /C
win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "no setup dialog"
e2e_wait_painted "$win" 10 || e2e_fail "the setup dialog was not painted"
eval "$(xdotool getwindowgeometry --shell "$win")"
# The window's frame: a 3-pixel border and the caption above the 325x175 client area (96 dpi).
CX=$((X + (WIDTH - 325) / 2)); CY=$((Y + HEIGHT - 175 - (WIDTH - 325) / 2))
click() { xdotool mousemove $((CX + $1)) $((CY + $2)) click 1; }
shows_show_tab() {
  e2e_screenshot setup-show
  # The inside of the "Include subfolders" box; the "File" page has bare dialog face there.
  [ "$(e2e_pixel "$E2E_SHOT" $((CX + 168)) $((CY + 132)))" = 255,255,255 ]
}
click 300 10
e2e_wait_until 10 shows_show_tab || e2e_fail "the Show tab did not show"
click 30 131    # "Different on each"
click 244 118   # "Fade" off
click 270 100   # the interval
xdotool key ctrl+a
xdotool type --delay 20 "120"
# "Captions and bars...": while it is open the setup dialog takes no click; Escape drops what was
# ticked, OK keeps it.
captions_dialog() {
  click 237 37
  cwin=$(e2e_wait_window "Captions and bars" 20) || e2e_fail "Captions and bars... opened no dialog"
  e2e_wait_painted "$cwin" 10 || e2e_fail "the captions dialog was not painted"
  eval "$(xdotool getwindowgeometry --shell "$cwin")"
  KX=$((X + (WIDTH - 280) / 2)); KY=$((Y + HEIGHT - 192 - (WIDTH - 280) / 2))
}
kclick() { xdotool mousemove $((KX + $1)) $((KY + $2)) click 1; }
captions_dialog
e2e_screenshot setup-captions
kclick 22 27     # "Date taken", then dropped by Escape
e2e_focus "$cwin" 10 || e2e_fail "the captions dialog did not take the keyboard"
xdotool key Escape
e2e_wait_no_window "Captions and bars" 10 || e2e_fail "Escape did not close the captions dialog"
captions_dialog
kclick 150 27    # "Place"
kclick 150 41    # "File name"
kclick 22 55     # "Clock"
kclick 22 107    # "On a blurred copy of itself"
click 12 170     # "Save settings, Close" of the dialog beneath, beside this one: refused while it is open
kclick 22 145    # "Slow pan and zoom"
kclick 143 174   # OK
e2e_wait_no_window "Captions and bars" 10 || e2e_fail "OK did not close the captions dialog"
e2e_alive || e2e_fail "a click on the setup dialog behind the captions dialog reached it"
click 194 76    # "Folder..."
chooser=$(e2e_wait_window "Folder of pictures" 20) || { e2e_screenshot no-chooser; e2e_fail "Folder... opened no folder chooser"; }
e2e_wait_painted "$chooser" 10 || e2e_fail "the folder chooser was not painted"
e2e_screenshot folder-chooser
# A name the chooser finds only in the folder it started in.
e2e_focus "$chooser" 10 || e2e_fail "the folder chooser did not take the keyboard"
xdotool type summer
xdotool key Return
e2e_wait_no_window "Folder of pictures" 10 || e2e_fail "the folder chooser did not close on Return"
click 66 162    # "Save settings, Close"
e2e_wait_exit 20 || { e2e_screenshot not-closed; e2e_fail "the dialog did not close"; }
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ "$(e2e_get_setting AniFile)" = "$folder\\summer" ] || e2e_fail "AniFile is '$(e2e_get_setting AniFile)', not $folder\\summer"
[ "$(e2e_get_setting Monitors)" = Different ] && [ "$(e2e_get_setting Fade)" = 0 ] &&
  [ "$(e2e_get_setting Interval)" = 120 ] && [ "$(e2e_get_setting Shuffle)" = 1 ] ||
  e2e_fail "saved Monitors $(e2e_get_setting Monitors), Fade $(e2e_get_setting Fade), Interval $(e2e_get_setting Interval), Shuffle $(e2e_get_setting Shuffle)"
[ "$(e2e_get_setting Caption)" = "place,name" ] && [ "$(e2e_get_setting Clock)" = 1 ] &&
  [ "$(e2e_get_setting Placement)" = Blur ] && [ "$(e2e_get_setting Motion)" = 1 ] ||
  e2e_fail "saved Caption '$(e2e_get_setting Caption)', Clock $(e2e_get_setting Clock), Placement $(e2e_get_setting Placement), Motion $(e2e_get_setting Motion)"
e2e_pass "Different, no fade, 120 s, place and file name with the clock on a blurred copy, and the folder chosen from the file's folder are saved"
