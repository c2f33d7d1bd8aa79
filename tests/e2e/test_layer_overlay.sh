#!/usr/bin/env bash
# --layer overlay under a real sway: the picture above an ordinary window, a second overlay
# refused while one shows, and a key (sent through the virtual keyboard) ending it with status 0.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
e2e_init "$1"
e2e_wl_init
command -v wtype >/dev/null || e2e_skip "wtype is not installed (scripts/test.sh installs it)"
command -v weston-flower >/dev/null || e2e_skip "weston-flower is not installed (scripts/test.sh installs weston)"
e2e_start_sway

pic="$E2E_TMP/pic.png"
/usr/bin/convert -size 320x240 gradient:red-blue -fill yellow -draw "circle 160,120 160,60" "$pic"
chmod 644 "$pic"
expected=$(e2e_wl_expected "$pic" 1280x720 overlay)

# An ordinary window fills the output first: its dark grey is far from the picture.
(_e2e_wl_exec weston-flower) >>"$E2E_TMP/window.log" 2>&1 &
E2E_PIDS+=("$!")
_window_shown() { e2e_wl_shot window HEADLESS-1 && e2e_near "$(e2e_pixel "$E2E_SHOT" 100 600)" 64,64,64 8; }
e2e_wait_until 5 _window_shown || e2e_fail "the ordinary window did not show"

e2e_wl_start --layer overlay --file "$pic"
overlay=$E2E_PID
e2e_wl_wait_picture above HEADLESS-1 "$expected" 0.05 || e2e_fail "the overlay is not above the window: RMSE $E2E_RMSE"
e2e_pass "the overlay shows the picture above an ordinary window (RMSE $E2E_RMSE)"

e2e_wl_start --layer overlay --file "$pic"
e2e_wait_exit 5 || e2e_fail "a second overlay kept running"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the second overlay ended with status $E2E_STATUS"
grep -q "already showing" "$E2E_TMP/marvoscope.log" || e2e_fail "the second overlay did not say why it ended"
e2e_alive "$overlay" || e2e_fail "the first overlay ended too"
e2e_pass "a second overlay ends at once with one line"

# The headless seat has a keyboard only while wtype's virtual one exists, and the overlay asks
# for it when the seat says so: a key may come before it listens, so keys go until it ends.
_key_ends() { e2e_wl wtype a 2>/dev/null; e2e_gone "$overlay"; }
e2e_wait_until 5 _key_ends || e2e_fail "a key does not end the overlay"
e2e_wait_exit 1 "$overlay" || e2e_fail "the overlay did not end"
[ "$E2E_STATUS" = 0 ] || e2e_fail "the overlay ended with status $E2E_STATUS"
e2e_wait_until 5 _window_shown || e2e_fail "the window did not come back"
e2e_pass "a key ends the overlay with status 0 and the window shows again"
