#!/usr/bin/env bash
# The setup dialog opened with /C: centred, six tabs (a screenshot of each; MARVOSCOPE_SHOTS
# keeps them), "Browse" opens a file dialog whose cancel changes nothing, a slider click recolours
# the swatch, the "Show" tab's choices, those of its "Captions and bars..." dialog and "Folder..."
# are saved, and each way of closing stores what it should and ends the program.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
title="Make a Marvoscope"

# Window-relative positions at 96 dpi (15 twips a pixel).
tab_x() { echo $(( WX + 54 * $1 + 27 )); }
TAB_Y=10
# A click on a tab is followed by a wait for the page it shows, so that the next click lands
# on that page; every other wait is for what a click changes on the screen or in the store.
click() { xdotool mousemove "$1" "$2" click 1; }
open_dialog() {
  e2e_start /C
  WID=$(e2e_wait_window "$title" 5) || e2e_fail "no setup dialog within 5 s"
  e2e_wait_painted "$WID" 5 || e2e_fail "the setup dialog was not painted"
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  WX=$X; WY=$Y
}
swatch() { e2e_screenshot swatch; e2e_pixel "$E2E_SHOT" $((WX + 230)) $((WY + 92)); }
swatch_is() { [ "$(swatch)" = "$1" ]; }
# page_shot NAME: the dialog alone, as $E2E_SHOTS/NAME.png.
page_shot() {
  e2e_screenshot screen
  /usr/bin/convert "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${WX}+${WY}" +repage "$E2E_SHOTS/$1.png"
}
# new_page BEFORE NAME: the dialog differs from the picture BEFORE and shows the same twice in
# a row, so the new page is painted whole.
new_page() {
  page_shot "$2"
  awk "BEGIN { exit !($(e2e_rmse "$1" "$E2E_SHOTS/$2.png") > 0.01) }" || return 1
  cp "$E2E_SHOTS/$2.png" "$E2E_TMP/page.png"
  page_shot "$2"
  [ "$(e2e_rmse "$E2E_TMP/page.png" "$E2E_SHOTS/$2.png")" = "0" ]
}
# show_tab N NAME: clicks tab N and waits until its page is painted, into $E2E_SHOTS/NAME.png.
show_tab() {
  page_shot before-tab
  cp "$E2E_SHOTS/before-tab.png" "$E2E_TMP/before-tab.png"
  click "$(tab_x "$1")" $((WY + TAB_Y))
  e2e_wait_until 5 new_page "$E2E_TMP/before-tab.png" "$2" || e2e_fail "tab $1 did not show its page"
}

# 1. A fresh user: centred, the defaults, a screenshot per tab, Space saves the defaults.
open_dialog
[ "$WIDTH" -eq 325 ] && [ "$HEIGHT" -eq 175 ] || e2e_fail "dialog is ${WIDTH}x${HEIGHT}, not 325x175"
# 19200 x 15360 twips of screen: left 7162.5, top 6367.5 twips.
[ "$WX" -ge 476 ] && [ "$WX" -le 479 ] && [ "$WY" -ge 423 ] && [ "$WY" -le 426 ] || e2e_fail "not centred: $WX,$WY"
e2e_pass "dialog ${WIDTH}x${HEIGHT} centred at $WX,$WY"
names=(file mouse colors urls help show)
for i in 5 4 3 2 1 0; do
  show_tab "$i" "setup-tab$i-${names[$i]}"
done
for i in 1 2 3 4 5; do
  d=$(e2e_rmse "$E2E_SHOTS/setup-tab0-file.png" "$E2E_SHOTS/setup-tab$i-${names[$i]}.png")
  awk "BEGIN { exit !($d > 0.01) }" || e2e_fail "tab ${names[$i]} looks like tab file (RMSE $d)"
done
e2e_pass "six tabs, each showing its own page (screenshots in $E2E_SHOTS)"
# The dialog opened with the focus on "Save settings, Close"; clicking tabs moved it to the strip.
click $((WX + 66)) $((WY + 162))
e2e_wait_exit 3 || e2e_fail "Save settings, Close did not end the program"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ "$(e2e_get_setting AniFile)" = "" ] && [ "$(e2e_get_setting Mousesens)" = "1" ] &&
  [ "$(e2e_get_setting BackColors)" = "0" ] && [ "$(e2e_get_setting Placement)" = "Stretch" ] &&
  [ "$(e2e_get_setting Monitors)" = "Each" ] && [ "$(e2e_get_setting Caption)" = "" ] &&
  [ "$(e2e_get_setting Clock)" = "0" ] && [ "$(e2e_get_setting Motion)" = "0" ] || e2e_fail "fresh save stored: $(cat "$E2E_INI")"
grep -q '^AniFile=' "$E2E_INI" || e2e_fail "AniFile not written"
e2e_pass "fresh save stores AniFile empty, Mousesens 1, BackColors 0"

# 2. Stored settings; Browse then cancel keeps the path; one red arrow click turns white to 10.
mkdir -p "$E2E_TMP/keep"
e2e_setting AniFile "$E2E_TMP/keep/cat.gif"
e2e_setting Mousesens 45
e2e_setting BackColors 16777215
open_dialog
click "$(tab_x 2)" $((WY + TAB_Y))
e2e_wait_until 3 swatch_is 255,255,255 || e2e_fail "stored white shows as $(swatch)"
click $((WX + 130)) $((WY + 74))   # right arrow of the red slider
e2e_wait_until 3 swatch_is 10,0,0 || e2e_fail "one red arrow click gives $(swatch), not 10,0,0"
e2e_pass "white swatch, one red arrow click gives colour 10"
show_tab 0 setup-file-again
click $((WX + 277)) $((WY + 103))  # Browse
fid=$(e2e_wait_window Open 5) || e2e_fail "Browse opened no file dialog"
e2e_wait_painted "$fid" 5 || e2e_fail "the file dialog was not painted"
e2e_screenshot setup-browse
xdotool key --window "$fid" Escape 2>/dev/null || true
xdotool key Escape
e2e_wait_no_window Open 2 || e2e_fail "the file dialog did not close on Escape"
e2e_alive || e2e_fail "cancelling the file dialog ended the program"
e2e_pass "Browse opens a file dialog, Escape cancels it"
show_tab 5 setup-show-again
click $((WX + 30)) $((WY + 57))    # "Whole picture"
click $((WX + 30)) $((WY + 57))    # a second click keeps it chosen
click $((WX + 30)) $((WY + 131))   # "Different on each"
click $((WX + 244)) $((WY + 118))  # "Fade" off
click $((WX + 270)) $((WY + 100))  # the interval
xdotool key ctrl+a
xdotool type --delay 20 "120"
# "Captions and bars...": a modal dialog over this one; "Date taken", "Clock" and the blurred
# copy, then OK.
click $((WX + 237)) $((WY + 37))
cid=$(e2e_wait_window "Captions and bars" 5) || e2e_fail "Captions and bars... opened no dialog"
e2e_wait_painted "$cid" 5 || e2e_fail "the captions dialog was not painted"
eval "$(xdotool getwindowgeometry --shell "$cid")"
CX=$X; CY=$Y
e2e_screenshot setup-captions
click $((CX + 22)) $((CY + 27))    # "Date taken"
click $((CX + 22)) $((CY + 55))    # "Clock"
click $((CX + 22)) $((CY + 107))   # "On a blurred copy of itself"
click $((CX + 22)) $((CY + 145))   # "Slow pan and zoom"
click $((CX + 143)) $((CY + 174))  # OK
e2e_wait_no_window "Captions and bars" 3 || e2e_fail "OK did not close the captions dialog"
# "Folder..." starts in the folder of the file in the box; Enter takes that folder.
click $((WX + 194)) $((WY + 76))
fid=$(e2e_wait_window "Folder of pictures" 5) || e2e_fail "Folder... opened no folder chooser"
e2e_wait_painted "$fid" 5 || e2e_fail "the folder chooser was not painted"
e2e_screenshot setup-folder
xdotool key --window "$fid" Return 2>/dev/null || true
e2e_wait_no_window "Folder of pictures" 3 || e2e_fail "the folder chooser did not take its folder on Enter"
click $((WX + 66)) $((WY + 162))
e2e_wait_exit 3 || e2e_fail "Save settings, Close did not end the program"
[ "$(e2e_get_setting AniFile)" = "$E2E_TMP/keep" ] || e2e_fail "the folder chosen was saved as $(e2e_get_setting AniFile)"
[ "$(e2e_get_setting Mousesens)" = "30" ] || e2e_fail "sensitivity 45 saved as $(e2e_get_setting Mousesens)"
[ "$(e2e_get_setting BackColors)" = "10" ] || e2e_fail "colour saved as $(e2e_get_setting BackColors)"
[ "$(e2e_get_setting Placement)" = "Blur" ] && [ "$(e2e_get_setting Monitors)" = "Different" ] ||
  e2e_fail "the Show tab's choices saved as $(e2e_get_setting Placement), $(e2e_get_setting Monitors)"
[ "$(e2e_get_setting Caption)" = "date" ] && [ "$(e2e_get_setting Clock)" = "1" ] && [ "$(e2e_get_setting Motion)" = "1" ] ||
  e2e_fail "the captions dialog's choices saved as '$(e2e_get_setting Caption)', '$(e2e_get_setting Clock)', '$(e2e_get_setting Motion)'"
[ "$(e2e_get_setting Interval)" = "120" ] && [ "$(e2e_get_setting Fade)" = "0" ] &&
  [ "$(e2e_get_setting Shuffle)" = "1" ] ||
  e2e_fail "the folder's settings saved as $(e2e_get_setting Interval), $(e2e_get_setting Fade), $(e2e_get_setting Shuffle)"
e2e_pass "cancel kept the path; 45 saved as 30; colour 10 saved; Whole picture on a blurred copy, Different, no fade, 120 s, date and clock, and the folder saved"

# 3. "Just Close" stores nothing.
cp "$E2E_INI" "$E2E_TMP/before.ini"
open_dialog
click "$(tab_x 2)" $((WY + TAB_Y))
e2e_wait_until 3 swatch_is 10,0,0 || e2e_fail "stored colour 10 shows as $(swatch)"
click $((WX + 130)) $((WY + 74))
click $((WX + 198)) $((WY + 162))  # Just Close
e2e_wait_exit 3 || e2e_fail "Just Close did not end the program"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
cmp -s "$E2E_INI" "$E2E_TMP/before.ini" || e2e_fail "Just Close changed the settings: $(cat "$E2E_INI")"
e2e_pass "Just Close stores nothing and ends"

# 4. A path typed with blanks around it is saved without them.
open_dialog
click $((WX + 150)) $((WY + 84))   # the path box
xdotool key ctrl+a
xdotool type --delay 20 "   /tmp/typed path.jpg  "
click $((WX + 66)) $((WY + 162))
e2e_wait_exit 3 || e2e_fail "Save settings, Close did not end the program"
[ "$(e2e_get_setting AniFile)" = "/tmp/typed path.jpg" ] || e2e_fail "typed path saved as '$(e2e_get_setting AniFile)'"
e2e_pass "typed path saved without its blanks"

# 5. The show with no usable picture opens the dialog instead; closing it ends the whole program.
e2e_setting AniFile "$E2E_TMP/missing.jpg"
xdotool mousemove 5 5
e2e_start /S
WID=$(e2e_wait_window "$title" 5) || e2e_fail "the show without a picture opened no setup dialog"
e2e_wait_painted "$WID" 5 || e2e_fail "the fallback dialog was not painted"
eval "$(xdotool getwindowgeometry --shell "$WID")"
WX=$X; WY=$Y
e2e_cursor_hidden && e2e_fail "the pointer is hidden over the setup dialog"
click $((WX + 198)) $((WY + 162))  # Just Close
e2e_wait_exit 3 || e2e_fail "Just Close left the show's program running"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ -z "$(e2e_find_window Marvoscope)" ] || e2e_fail "the saver window is still mapped"
e2e_pass "the show's fallback dialog ends the whole program on Just Close"

# 6. A press on a link hands its address to the desktop's URL handler; the dialog stays open.
mkdir -p "$E2E_TMP/bin"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$E2E_TMP/opened.txt" >"$E2E_TMP/bin/xdg-open"
chmod +x "$E2E_TMP/bin/xdg-open"
PATH="$E2E_TMP/bin:$PATH" open_dialog
show_tab 3 setup-urls
click $((WX + 40)) $((WY + 40))   # the maker's link
e2e_wait_until 2 test -s "$E2E_TMP/opened.txt"
grep -q '^http://[A-Za-z0-9.-]*$' "$E2E_TMP/opened.txt" || e2e_fail "no address handed on: $(cat "$E2E_TMP/opened.txt" 2>/dev/null)"
e2e_alive || e2e_fail "opening a link ended the program"
e2e_pass "the link handed $(cat "$E2E_TMP/opened.txt") to the URL handler"
click $((WX + 198)) $((WY + 162))
e2e_wait_exit 3 || e2e_fail "Just Close did not end the program"
