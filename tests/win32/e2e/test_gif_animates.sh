#!/usr/bin/env bash
# /S with a stored three-frame GIF: the screen changes colour from frame to frame.
source "$(dirname "$0")/lib.sh"

/usr/bin/convert -delay 30 -size 40x30 xc:red xc:lime xc:blue -loop 0 "$WORK/anim.gif" || fail "make gif"
reset_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
set_setting Mousesens 30
set_setting AniFile "$(winpath "$WORK/anim.gif")"

start_scr /S
win=$(wait_window Marvoscope 30) || fail "no saver window"
declare -A seen=()
for i in $(seq 12); do
  shot=$(screenshot "gif-$i")
  c=$(pixel "$shot" 512 384)
  for want in 255,0,0 0,255,0 0,0,255; do near "$c" "$want" 30 && seen[$want]=1; done
  sleep 0.25
done
note "frame colours seen: ${!seen[*]}"
[ "${#seen[@]}" -ge 2 ] || fail "the picture did not change"
press Escape "$win"
wait_exit "$LAST_PID" 20 || fail "the show did not end on a key"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
