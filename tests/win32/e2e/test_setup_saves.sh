#!/usr/bin/env bash
# /C shows the setup dialog; "Save settings, Close" (focused when the dialog opens) writes the
# three values to the registry as strings and ends the program.
source "$(dirname "$0")/lib.sh"

reset_settings
set_setting AniFile 'C:\pictures\start.jpg'
start_scr /C
win=$(wait_window "Make a Marvoscope" 30) || fail "no setup dialog"
sleep 1
shot=$(screenshot setup-dialog)
eval "$(xdotool getwindowgeometry --shell "$win")"
note "dialog ${WIDTH}x${HEIGHT} at $X,$Y; screenshot $shot"
[ "$WIDTH" -gt 250 ] && [ "$HEIGHT" -gt 150 ] || fail "dialog too small"
# Centred on the screen.
cx=$(( X + WIDTH / 2 )); cy=$(( Y + HEIGHT / 2 ))
[ $(( cx > 462 && cx < 562 && cy > 334 && cy < 434 )) -eq 1 ] || fail "dialog not centred ($cx,$cy)"

press space "$win"
wait_exit "$LAST_PID" 20 || fail "the dialog did not close"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
raw=$(wine reg query "$KEY" 2>/dev/null | tr -d '\r')
note "$raw"
for v in AniFile Mousesens BackColors; do
  grep -Eq "^ +$v +REG_SZ" <<<"$raw" || fail "$v not stored as a string"
done
[ "$(get_setting AniFile)" = 'C:\pictures\start.jpg' ] || fail "AniFile changed: $(get_setting AniFile)"
[ -n "$(get_setting Mousesens)" ] || fail "Mousesens empty"
[ -n "$(get_setting BackColors)" ] || fail "BackColors empty"
echo "PASS"
