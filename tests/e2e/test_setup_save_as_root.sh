#!/usr/bin/env bash
# The setup dialog run as root on a user's settings folder (sudo -E): a store the user linked
# to root's file fails the save, and root's file and folder stay exactly as they were; the same
# dialog saves into the user's own folder with the user as the store's owner.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
[ "$(id -u)" -eq 0 ] || { e2e_pass "skipped: needs root and another user"; exit 0; }
e2e_start_xvfb 1280x1024
title="Make a Marvoscope"
nobody=65534

system="$E2E_TMP/system"
mkdir -p "$system"
printf '[Settings]\nAniFile=root.jpg\n' >"$system/root-file"
cp "$system/root-file" "$E2E_TMP/root-file.before"
before=$(stat -c %i "$system/root-file")
chmod 755 "$E2E_TMP" "$system"
chown -R "$nobody:$nobody" "$HOME"
# The user's own link, made with the user's rights.
setpriv --reuid=$nobody --regid=$nobody --clear-groups ln -s "$system/root-file" "$E2E_INI"

save() {
  e2e_start /C
  WID=$(e2e_wait_window "$title" 5) || e2e_fail "no setup dialog within 5 s"
  e2e_wait_painted "$WID" 5 || e2e_fail "the setup dialog was not painted"
  eval "$(xdotool getwindowgeometry --shell "$WID")"
  dialog_shot before
  # The focus starts on "Save settings, Close".
  xdotool key --window "$WID" space
}
dialog_shot() {
  e2e_screenshot screen
  /usr/bin/convert "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_SHOTS/$1.png"
}
# The dialog says in a line that the save failed; a save that went through ends the program.
said_or_ended() {
  e2e_alive || return 0
  dialog_shot after
  awk "BEGIN { exit !($(e2e_rmse "$E2E_SHOTS/before.png" "$E2E_SHOTS/after.png") > 0.005) }"
}
save
e2e_wait_until 5 said_or_ended || e2e_fail "the dialog showed nothing after the save"
e2e_alive || e2e_fail "the save through the user's link to root's file went through"
cmp -s "$system/root-file" "$E2E_TMP/root-file.before" || e2e_fail "root's file changed"
[ "$(stat -c %i "$system/root-file")" = "$before" ] || e2e_fail "root's file was replaced"
[ "$(ls -A "$system")" = root-file ] || e2e_fail "new files in root's folder: $(ls -A "$system" | tr '\n' ' ')"
e2e_close_window "$title"
e2e_wait_exit 5 || e2e_fail "the dialog did not close"
e2e_pass "a save as root through the user's link to root's file fails and changes nothing of root's"

rm "$E2E_INI"
save
e2e_wait_exit 5 || e2e_fail "the save into the user's own folder did not end the program"
[ "$(stat -c %u "$E2E_INI")" = "$nobody" ] || e2e_fail "the new store is not the user's"
[ -n "$(e2e_get_setting Mousesens)" ] || e2e_fail "nothing saved"
e2e_pass "a save as root into the user's folder makes the store the user's"
