#!/usr/bin/env bash
# /S with a stored three-frame GIF: the screen changes colour from frame to frame.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

/usr/bin/convert -delay 30 -size 40x30 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/anim.gif" || e2e_fail "make gif"
e2e_clear_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/anim.gif")"

e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
e2e_wait_colours gif 10 || e2e_fail "the picture did not change (seen: ${!E2E_SEEN[*]})"
e2e_log "frame colours seen: ${!E2E_SEEN[*]}"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "the GIF animates and a key ends the show"
