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
declare -A seen=()
for i in $(seq 12); do
  e2e_screenshot "gif-$i"; shot=$E2E_SHOT
  c=$(e2e_pixel "$shot" 512 384)
  for want in 255,0,0 0,255,0 0,0,255; do e2e_near "$c" "$want" 30 && seen[$want]=1; done
  sleep 0.25
done
e2e_log "frame colours seen: ${!seen[*]}"
[ "${#seen[@]}" -ge 2 ] || e2e_fail "the picture did not change"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "the GIF animates and a key ends the show"
