#!/usr/bin/env bash
# A three-frame GIF of red, green and blue with delays of 50, 50 and 100 hundredths plays full
# screen: red once, then green and blue in turn (blue for its delay plus green's); red, the
# first frame, never comes back.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
e2e_tool colour_watch -lX11

gif="$E2E_TMP/rgb.gif"
/usr/bin/convert -size 64x48 -delay 50 xc:red xc:lime -delay 100 xc:blue -loop 0 "$gif"
e2e_setting AniFile "$gif"
e2e_setting Mousesens 15
e2e_setting BackColors 0

xdotool mousemove 640 512
e2e_colour_watch 640 512 7 >"$E2E_TMP/colours.txt" &
E2E_PIDS+=("$!")
watcher=$!
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s"
# Once the watcher has seen blue, the show runs its frames; any of them fills the screen.
e2e_wait_until 5 grep -q ' blue$' "$E2E_TMP/colours.txt" || e2e_fail "the show did not reach its third frame"
e2e_screenshot animation
wait "$watcher"

e2e_log "colour changes at the centre (ms, colour): $(tr '\n' ';' <"$E2E_TMP/colours.txt")"
runs=$(e2e_colour_runs "$E2E_TMP/colours.txt")
e2e_log "sequence: $runs"
[[ "$runs " == "red green blue green blue "* ]] || e2e_fail "expected red, green, blue, green, blue; saw: $runs"
[[ " ${runs#red } " != *" red "* ]] || e2e_fail "frame 0 came back: $runs"
e2e_pass "red once, then green and blue in turn"

# The frame fills the whole screen: corners and centre agree.
c=$(e2e_pixel "$E2E_SHOT" 640 512)
for xy in "1 1" "1278 1" "1 1022" "1278 1022"; do
  [ "$(e2e_pixel "$E2E_SHOT" $xy)" = "$c" ] || e2e_fail "pixel $xy differs from the centre ($c)"
done
e2e_pass "the frame is stretched over the whole screen ($c)"

e2e_end_animated_show
e2e_pass "input ends the animated show with status 0, no scratch file left"
