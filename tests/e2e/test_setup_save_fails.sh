#!/usr/bin/env bash
# "Save settings, Close" on a settings folder that cannot be written: the dialog stays open and
# says in one line where the settings could not be saved, the store keeps every old byte, and
# pressing the button again once the folder is writable saves the three values and ends.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
title="Make a Marvoscope"

printf '; mine\n[Settings]\nAniFile=/old.jpg\nMousesens=7\n' >"$E2E_INI"
cp "$E2E_INI" "$E2E_TMP/before.ini"
chmod 500 "$XDG_CONFIG_HOME"
# Root writes into any folder; without its override of file permissions it meets the mode.
[ "$(id -u)" -eq 0 ] && E2E_LAUNCHER="setpriv --bounding-set=-dac_override,-dac_read_search --"

e2e_start /C
WID=$(e2e_wait_window "$title" 5) || e2e_fail "no setup dialog within 5 s"
e2e_wait_painted "$WID" 5 || e2e_fail "the setup dialog was not painted"
eval "$(xdotool getwindowgeometry --shell "$WID")"
dialog_shot() {
  e2e_screenshot screen
  /usr/bin/convert "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_SHOTS/$1.png"
}
dialog_shot before
changed() { dialog_shot after; awk "BEGIN { exit !($(e2e_rmse "$E2E_SHOTS/before.png" "$E2E_SHOTS/after.png") > 0.005) }"; }

# The focus starts on "Save settings, Close".
xdotool key --window "$WID" space
e2e_wait_until 5 changed || e2e_fail "the dialog showed nothing after a failed save"
e2e_alive || e2e_fail "the program ended after a failed save"
[ -n "$(e2e_find_window "$title")" ] || e2e_fail "the dialog closed after a failed save"
cmp -s "$E2E_INI" "$E2E_TMP/before.ini" || e2e_fail "the store changed in a failed save"
e2e_pass "a failed save keeps the dialog open and the store as it was (see $E2E_SHOTS/after.png)"

chmod 700 "$XDG_CONFIG_HOME"
xdotool key --window "$WID" space
e2e_wait_exit 5 || e2e_fail "the retried save did not end the program"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ "$(e2e_get_setting Mousesens)" = 7 ] && [ "$(e2e_get_setting AniFile)" = /old.jpg ] &&
  [ "$(e2e_get_setting BackColors)" = 0 ] && [ "$(head -n1 "$E2E_INI")" = "; mine" ] ||
  e2e_fail "the retried save stored: $(cat "$E2E_INI")"
e2e_pass "the retry saved the three values and kept the user's comment"
