#!/usr/bin/env bash
# "Save settings, Close" when the settings key cannot be made (its parent is a volatile key,
# under which no lasting key can be created): the dialog stays open and says in one line where
# the settings could not be saved; once the key can be made, pressing the button again saves
# the three values and ends the program.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
command -v x86_64-w64-mingw32-gcc >/dev/null || e2e_fail "x86_64-w64-mingw32-gcc is not installed"
app_key='HKCU\Software\VB and VBA Program Settings\Marvoscope 1.0 Demo'
cleanup_key() { wine reg delete "$app_key" /f >/dev/null 2>&1; true; }
e2e_side_cleanup() { cleanup_key; [ -n "$E2E_OWN_PREFIX" ] && wineserver -k 2>/dev/null; true; }

cat >"$E2E_TMP/volatile.c" <<'C'
#include <windows.h>
int main(void) {
    HKEY parent, key;
    /* The parent stays a lasting key: only the application's own key is volatile. */
    return RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings", 0, NULL, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, NULL, &parent, NULL) != ERROR_SUCCESS ||
           RegCreateKeyExW(parent, L"Marvoscope 1.0 Demo", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &key,
                           NULL) != ERROR_SUCCESS;
}
C
x86_64-w64-mingw32-gcc -o "$E2E_TMP/volatile.exe" "$E2E_TMP/volatile.c" || e2e_fail "cannot build the key helper"
cleanup_key
wine "$E2E_TMP/volatile.exe" || e2e_fail "cannot make the volatile key"

e2e_start /C
win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "no setup dialog"
e2e_wait_painted "$win" 10 || e2e_fail "the setup dialog was not painted"
eval "$(xdotool getwindowgeometry --shell "$win")"
dialog_shot() {
  e2e_screenshot screen
  /usr/bin/convert "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_SHOTS/$1.png"
}
dialog_shot save-fails-before
changed() { dialog_shot save-fails-after; awk "BEGIN { exit !($(e2e_rmse "$E2E_SHOTS/save-fails-before.png" "$E2E_SHOTS/save-fails-after.png") > 0.005) }"; }
# The focus starts on "Save settings, Close".
e2e_press space "$win"
e2e_wait_until 10 changed || e2e_fail "the dialog showed nothing after a failed save"
e2e_alive || e2e_fail "the program ended after a failed save"
[ -z "$(e2e_get_setting AniFile)" ] || e2e_fail "a value was saved"
e2e_pass "a failed save keeps the dialog open (see $E2E_SHOTS/save-fails-after.png)"

cleanup_key
e2e_press space "$win"
e2e_wait_exit 20 || e2e_fail "the retried save did not end the program"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
[ "$(e2e_get_setting Mousesens)" = 1 ] && [ "$(e2e_get_setting BackColors)" = 0 ] || e2e_fail "the retry did not save"
cleanup_key
e2e_pass "the retry saved the values"
