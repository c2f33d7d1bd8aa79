#!/usr/bin/env bash
# Hosted mode in a window another client owns: the picture fills that window and nothing else,
# follows its size, ignores input, runs beside other copies and a show, and ends on a signal
# (also in the middle of a big GIF's split) or with its window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 1024x768

pic="$E2E_TMP/photo.jpg"
e2e_make_jpg "$pic" 400x300
e2e_setting AniFile "$pic"
e2e_setting Mousesens 1
e2e_setting BackColors 0

# window_shows NAME WxH+X+Y: the window's area matches the picture stretched to it.
window_shows() {
  local geometry=$2 size=${2%%+*}
  /usr/bin/convert "$pic" -resize "$size!" "$E2E_TMP/expected-$size.png"
  _crop_matches() {
    e2e_screenshot "$1"
    /usr/bin/convert "$E2E_SHOT" -crop "$geometry" +repage "$E2E_TMP/crop.png"
    E2E_RMSE=$(e2e_rmse "$E2E_TMP/crop.png" "$E2E_TMP/expected-$size.png")
    awk "BEGIN { exit !($E2E_RMSE < 0.05) }"
  }
  e2e_wait_until 5 _crop_matches "$1"
}
# outside_same A B WxH+X+Y: two screenshots agree everywhere but in that rectangle.
outside_same() {
  local w=${3%%x*} rest=${3#*x}; local h=${rest%%+*} x y
  x=$(cut -d+ -f2 <<<"$3"); y=$(cut -d+ -f3 <<<"$3")
  local box="rectangle $x,$y $((x + w - 1)),$((y + h - 1))"
  /usr/bin/convert "$1" -fill black -draw "$box" "$E2E_TMP/a.png"
  /usr/bin/convert "$2" -fill black -draw "$box" "$E2E_TMP/b.png"
  awk "BEGIN { exit !($(e2e_rmse "$E2E_TMP/a.png" "$E2E_TMP/b.png") < 0.001) }"
}

# 1. A 320x240 window: the picture fills it, the rest of the screen stays as it was.
e2e_host_window 100 100 320 240
host=$E2E_HOST_ID
e2e_screenshot before
before=$E2E_SHOT
windows=$(e2e_viewable_windows)
e2e_start --window-id "$host"
window_shows in-320x240 320x240+100+100 || e2e_fail "the 320x240 window does not show the picture (RMSE $E2E_RMSE)"
e2e_log "window 320x240 vs. picture stretched to it: RMSE $E2E_RMSE"
outside_same "$before" "$E2E_SHOT" 320x240+100+100 || e2e_fail "the screen outside the window changed"
[ "$(e2e_viewable_windows)" -eq "$windows" ] || e2e_fail "a window of its own was mapped"
e2e_cursor_hidden && e2e_fail "hosted mode hid the pointer"
e2e_pass "the picture fills the given window and nothing else; no window of its own, pointer left alone"

# 2. The window grows: it is repainted at the new size.
e2e_host_do size 640 480
window_shows in-640x480 640x480+100+100 || e2e_fail "not repainted at 640x480 (RMSE $E2E_RMSE)"
e2e_log "window 640x480 vs. picture stretched to it: RMSE $E2E_RMSE"
e2e_pass "a resize is repainted at the new size"

# 3. Input does not end it, and other copies and a show run beside it.
xdotool mousemove 200 200 sleep 0.1 mousemove 600 500 click 1 key x
! e2e_wait_exit 0.5 || e2e_fail "input ended the hosted show"
first=$E2E_PID
e2e_start --window-id "$host"
second=$E2E_PID
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "a show beside hosted copies was refused"
xdotool key x
e2e_wait_exit 3 || e2e_fail "the show beside hosted copies did not end on a key"
e2e_alive "$first" && e2e_alive "$second" || e2e_fail "the show's end ended a hosted copy"
E2E_PID=$second; e2e_ends_on TERM "second copy"
E2E_PID=$first
e2e_pass "input does not end it; two copies and a show run at once"

# 4. Signals while it plays, and in the middle of a long split.
e2e_ends_on TERM "plain"
/usr/bin/convert -delay 20 -size 64x48 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif"
# A real animation followed by gigabytes of zeros (sparse, so it costs no disk): the split
# searches them for a next frame, in slices with event processing between, for seconds.
ffmpeg -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 -t 4 "$E2E_TMP/big.gif" || e2e_fail "ffmpeg"
truncate -s 3G "$E2E_TMP/big.gif"
e2e_log "big GIF: $(stat -c %s "$E2E_TMP/big.gif") bytes"
for sig in TERM INT HUP; do
  e2e_start --window-id "$host" --file "$E2E_TMP/rgb.gif"
  e2e_wait_pixel "playing-$sig" 300 300 0,0,255 5 40 || e2e_fail "SIG$sig: the GIF does not play"
  e2e_ends_on "$sig" "playing GIF"
  e2e_host_do size 320 240
  e2e_start --window-id "$host" --file "$E2E_TMP/big.gif"
  sleep 0.7
  # Nothing is painted until the split is done: the window still shows its own grey.
  e2e_screenshot "splitting-$sig"
  e2e_near "$(e2e_pixel "$E2E_SHOT" 200 200)" 128,128,128 8 || e2e_fail "SIG$sig: the split was over already"
  e2e_ends_on "$sig" "mid-split"
  e2e_host_do size 640 480
done
e2e_pass "SIGTERM, SIGINT and SIGHUP end it with status 0 and no scratch file, also mid-split"

# 5. The window goes away: so does the program.
e2e_start --window-id "$host"
window_shows again 640x480+100+100 || e2e_fail "no picture before the window was destroyed"
e2e_host_do destroy
e2e_wait_exit 2 || e2e_fail "still running after its window was destroyed"
e2e_pass "destroying the window ends it (status $E2E_STATUS)"

# 6. Bad requests: one line and a failure status.
"$MARVOSCOPE" --window-id nonsense 2>"$E2E_TMP/err.txt"; status=$?
[ "$status" -eq 2 ] && [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] || e2e_fail "bad id: status $status, '$(cat "$E2E_TMP/err.txt")'"
env -u DISPLAY "$MARVOSCOPE" --root 2>"$E2E_TMP/err.txt"; status=$?
[ "$status" -eq 1 ] && [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] || e2e_fail "no display: status $status, '$(cat "$E2E_TMP/err.txt")'"
e2e_log "without X: $(cat "$E2E_TMP/err.txt")"
DISPLAY=:31999 "$MARVOSCOPE" --root 2>"$E2E_TMP/err.txt"; status=$?
[ "$status" -eq 1 ] && [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] || e2e_fail "unreachable display: status $status, '$(cat "$E2E_TMP/err.txt")'"
"$MARVOSCOPE" --window-id 0x7ffff0 2>"$E2E_TMP/err.txt"; status=$?
[ "$status" -ne 0 ] && [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] || e2e_fail "no such window: status $status, '$(cat "$E2E_TMP/err.txt")'"
e2e_setting AniFile "$E2E_TMP/missing.jpg"
e2e_setting BackColors 255
e2e_host_window 0 0 200 150
e2e_start --window-id "$E2E_HOST_ID"
e2e_wait_pixel no-picture 100 75 255,0,0 5 || e2e_fail "no picture: the window does not show the background colour"
[ -z "$(e2e_find_window 'Make a Marvoscope')" ] || e2e_fail "no picture: the setup dialog opened"
e2e_alive || e2e_fail "no picture: it did not keep running"
grep -q "cannot show" "$E2E_TMP/marvoscope.log" || e2e_fail "no picture: nothing said why"
e2e_ends_on TERM "no picture"
e2e_pass "bad id, no display, no such window and no picture each give one clear line"

# 7. The X server goes away: the program ends rather than spinning.
e2e_setting AniFile "$pic"
e2e_start --root
e2e_wait_pixel on-root 400 300 255,255,0 5 40 || e2e_fail "--root alone does not draw on the root window"
server=${E2E_SERVERS[-1]}
kill "$server"; wait "$server" 2>/dev/null
e2e_wait_exit 2 || e2e_fail "still running 2 s after the X server went away"
e2e_pass "--root alone draws on the root window; losing the X connection ends it (status $E2E_STATUS)"
