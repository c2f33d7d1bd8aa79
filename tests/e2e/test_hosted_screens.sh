#!/usr/bin/env bash
# Hosted mode on screens other than the plain 24-bit one: exact colours on a 30-bit screen,
# one clear line where the screen's visual cannot be drawn in (8-bit PseudoColor), and the
# root window of the screen the display name picks. The show (/S) is right on the 30-bit screen
# as well.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

orange="$E2E_TMP/orange.png"
/usr/bin/convert -size 64x48 xc:'rgb(255,128,0)' "$orange"
e2e_setting AniFile "$orange"
e2e_setting Mousesens 30

# show_is_orange LABEL: the show covers the screen in orange and ends on a signal.
show_is_orange() {
  e2e_start /S
  e2e_wait_pixel "show-$1" 200 150 255,128,0 5 4 || e2e_fail "$1: the show is $(e2e_pixel "$E2E_SHOT" 200 150)"
  e2e_ends_on TERM "$1 show"
}

# 1. Ten bits a channel: 8-bit values are widened, not put into the low bits.
e2e_start_x_server Xvfb -screen 0 640x480x30 -noreset
e2e_start --root --file "$orange"
e2e_wait_pixel deep 200 150 255,128,0 5 4 || e2e_fail "30-bit screen: orange shows as $(e2e_pixel "$E2E_SHOT" 200 150)"
e2e_ends_on TERM "30-bit root"
show_is_orange 30-bit
e2e_pass "a 30-bit screen shows (255,128,0) as such, hosted and as a show"

# 2. A palette screen: hosted mode says it cannot draw there and ends.
e2e_start_x_server Xvfb -screen 0 640x480x8 -cc 3 -noreset
"$MARVOSCOPE" --root --file "$orange" >"$E2E_TMP/out.txt" 2>"$E2E_TMP/err.txt" & pid=$!
E2E_PIDS+=("$pid")
e2e_wait_exit 5 "$pid" || e2e_fail "8-bit PseudoColor screen: hosted mode kept running"
[ "$E2E_STATUS" -eq 1 ] && [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] && grep -q PseudoColor "$E2E_TMP/err.txt" ||
  e2e_fail "8-bit PseudoColor screen: status $E2E_STATUS, '$(cat "$E2E_TMP/err.txt")'"
e2e_log "8-bit PseudoColor: $(cat "$E2E_TMP/err.txt")"
e2e_pass "an 8-bit PseudoColor screen: one line and status 1 in hosted mode"

# 3. Two screens, the second named in DISPLAY: its root window is the one drawn on.
e2e_start_x_server Xvfb -screen 0 320x240x24 -screen 1 640x480x24 -noreset
display=$DISPLAY
export DISPLAY=$display.1
e2e_start --root --file "$orange"
e2e_wait_pixel screen-1 400 300 255,128,0 5 4 || e2e_fail "DISPLAY=$DISPLAY: screen 1 is $(e2e_pixel "$E2E_SHOT" 400 300)"
DISPLAY=$display.0 e2e_screenshot screen-0
e2e_near "$(e2e_pixel "$E2E_SHOT" 100 100)" 0,0,0 4 || e2e_fail "DISPLAY=$DISPLAY: screen 0 was painted"
e2e_ends_on TERM "screen 1 root"
e2e_pass "--root draws on the root window of the screen DISPLAY names"
