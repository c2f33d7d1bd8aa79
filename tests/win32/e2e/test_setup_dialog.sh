#!/usr/bin/env bash
# /C shows the setup dialog; "Save settings, Close" (focused when the dialog opens) writes the
# five values to the registry as strings and ends the program; the placement and monitors read
# in any case come back in their own words.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

e2e_clear_settings
e2e_setting AniFile 'C:\pictures\start.jpg'
e2e_setting Placement fit
e2e_setting Monitors SPAN
e2e_start /C
win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "no setup dialog"
e2e_wait_painted "$win" 10 || e2e_fail "the setup dialog was not painted"
e2e_screenshot setup-dialog; shot=$E2E_SHOT
eval "$(xdotool getwindowgeometry --shell "$win")"
e2e_log "dialog ${WIDTH}x${HEIGHT} at $X,$Y; screenshot $shot"
[ "$WIDTH" -gt 250 ] && [ "$HEIGHT" -gt 150 ] || e2e_fail "dialog too small"
# Centred on the screen.
cx=$(( X + WIDTH / 2 )); cy=$(( Y + HEIGHT / 2 ))
[ $(( cx > 462 && cx < 562 && cy > 334 && cy < 434 )) -eq 1 ] || e2e_fail "dialog not centred ($cx,$cy)"

e2e_press space "$win"
e2e_wait_exit 20 || e2e_fail "the dialog did not close"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
raw=$(wine reg query "$E2E_SETTINGS_KEY" 2>/dev/null | tr -d '\r')
e2e_log "$raw"
for v in AniFile Mousesens BackColors Placement Monitors; do
  grep -Eq "^ +$v +REG_SZ" <<<"$raw" || e2e_fail "$v not stored as a string"
done
[ "$(e2e_get_setting AniFile)" = 'C:\pictures\start.jpg' ] || e2e_fail "AniFile changed: $(e2e_get_setting AniFile)"
[ -n "$(e2e_get_setting Mousesens)" ] || e2e_fail "Mousesens empty"
[ -n "$(e2e_get_setting BackColors)" ] || e2e_fail "BackColors empty"
[ "$(e2e_get_setting Placement)" = Fit ] && [ "$(e2e_get_setting Monitors)" = Span ] ||
  e2e_fail "placement and monitors came back as $(e2e_get_setting Placement), $(e2e_get_setting Monitors)"
e2e_pass "the setup dialog saves the five values as strings; fit and SPAN come back as Fit and Span"
