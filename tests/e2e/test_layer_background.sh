#!/usr/bin/env bash
# --layer background under a real sway: the picture on every output at that output's size, on
# an output created while it runs too, a GIF that plays, and SIGTERM ending it at once with
# status 0 and no frame file left.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
e2e_init "$1"
e2e_wl_init
e2e_start_sway

pic="$E2E_TMP/pic.png"
/usr/bin/convert -size 320x240 gradient:red-blue -fill yellow -draw "circle 160,120 160,60" "$pic"
chmod 644 "$pic"

e2e_wl_start --layer background --file "$pic"
e2e_wl_wait_picture one HEADLESS-1 "$(e2e_wl_expected "$pic" 1280x720 one)" 0.05 ||
  e2e_fail "one output: RMSE $E2E_RMSE against the picture at 1280x720"
e2e_pass "one output shows the picture (RMSE $E2E_RMSE)"

# A second output of another size, made while the show runs.
e2e_wl swaymsg -q create_output && e2e_wl swaymsg -q output HEADLESS-2 mode 800x600 pos 1280 0 ||
  e2e_fail "sway made no second output"
e2e_wl_wait_picture second HEADLESS-2 "$(e2e_wl_expected "$pic" 800x600 second)" 0.05 ||
  e2e_fail "the new output: RMSE $E2E_RMSE against the picture at 800x600"
second=$E2E_RMSE
e2e_wl_wait_picture first HEADLESS-1 "$E2E_TMP/expected-one.png" 0.05 || e2e_fail "the first output lost its picture"
e2e_pass "an output made while it runs gets the picture at its own size (RMSE $second; the first $E2E_RMSE)"

start=$(e2e_now_ms)
kill -TERM "$E2E_PID"
e2e_wait_exit 1 || e2e_fail "SIGTERM: still running after a second"
[ "$E2E_STATUS" = 0 ] || e2e_fail "SIGTERM: status $E2E_STATUS"
e2e_pass "SIGTERM ends it with status 0 ($(( $(e2e_now_ms) - start )) ms)"
for sig in INT HUP; do
  e2e_wl_start --layer background --file "$pic"
  e2e_wl_wait_picture "before-$sig" HEADLESS-1 "$E2E_TMP/expected-one.png" 0.05 || e2e_fail "SIG$sig: not shown"
  kill -"$sig" "$E2E_PID"
  e2e_wait_exit 1 || e2e_fail "SIG$sig: still running after a second"
  [ "$E2E_STATUS" = 0 ] || e2e_fail "SIG$sig: status $E2E_STATUS"
done
e2e_pass "SIGINT and SIGHUP end it with status 0 as well"

# At scale 2 the surface is half as large in the compositor's units; a picture of one-pixel
# checks the output's size shows them one to one only at the output's device pixels.
/usr/bin/convert -size 1280x720 pattern:gray50 "$E2E_TMP/checks.png" && chmod 644 "$E2E_TMP/checks.png"
e2e_wl swaymsg -q output HEADLESS-1 scale 2 || e2e_fail "sway did not scale the output"
e2e_wl_start --layer background --file "$E2E_TMP/checks.png"
e2e_wl_wait_picture scaled HEADLESS-1 "$E2E_TMP/checks.png" 0.05 ||
  e2e_fail "scale 2: RMSE $E2E_RMSE against the checks at 1280x720 device pixels"
e2e_pass "at scale 2 the picture is at device pixels (RMSE $E2E_RMSE)"
kill -TERM "$E2E_PID"
e2e_wait_exit 1 || e2e_fail "SIGTERM at scale 2: still running after a second"
e2e_wl swaymsg -q output HEADLESS-1 scale 1

# Two outputs from the start, and a GIF that plays on both.
/usr/bin/convert -delay 20 -size 64x48 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif"
chmod 644 "$E2E_TMP/rgb.gif"
e2e_wl_start --layer background --file "$E2E_TMP/rgb.gif"
for colour in 0,0,255 0,255,0 0,0,255; do
  e2e_wl_wait_pixel "gif-$colour" HEADLESS-1 640 360 "$colour" 5 || e2e_fail "the GIF does not play on HEADLESS-1 ($colour)"
done
e2e_wl_wait_pixel gif-second HEADLESS-2 400 300 0,255,0 5 || e2e_fail "the GIF does not play on HEADLESS-2"
e2e_pass "a GIF plays on both outputs"
kill -TERM "$E2E_PID"
e2e_wait_exit 1 || e2e_fail "SIGTERM while playing: still running after a second"
[ "$E2E_STATUS" = 0 ] || e2e_fail "SIGTERM while playing: status $E2E_STATUS"
e2e_no_scratch_left "SIGTERM while playing"
[ ! -s "$E2E_TMP/marvoscope.log" ] || e2e_fail "it said: $(cat "$E2E_TMP/marvoscope.log")"
e2e_pass "SIGTERM while a GIF plays: status 0, no frame file, nothing said"
