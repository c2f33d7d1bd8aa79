#!/usr/bin/env bash
# Animated GIFs as encoders write them (partial frames, transparency, every disposal method,
# frames past the screen's edge, interlace) look on screen as in any GIF viewer, and frames
# of delay 0 keep playing.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 640x480
e2e_tool colour_watch -lX11
e2e_setting Mousesens 30
# The stored background colour 0x00804020 (BBGGRR) is #204080.
bg_setting=8405024 bg_hex="#204080"

composed() {  # composed NAME GIF: three different moments of the show each match a viewer's frame
  e2e_compose_frames "$2" "$bg_hex" 640x480 "$E2E_TMP/$1" || e2e_fail "cannot coalesce $1"
  e2e_setting AniFile "$2"
  e2e_setting BackColors "$bg_setting"
  xdotool mousemove 320 240
  e2e_start /S
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window for $1"
  local log
  # Close enough to a bilinear stretch of the frame that a nearest-pixel one would miss.
  log=$(e2e_compose_watch "$E2E_TMP/$1" 3 0.02) || e2e_fail "$1: $log"
  e2e_log "$1: $(tr '\n' ';' <<<"$log")"
  e2e_pass "$1 plays as a GIF viewer shows it"
  xdotool key space
  e2e_wait_exit 3 || e2e_fail "the show of $1 did not end on a key"
}

ffmpeg -loglevel error -f lavfi -i testsrc2=size=320x240:rate=10 -t 3 "$E2E_TMP/ff.gif" || e2e_fail "ffmpeg"
composed ffmpeg "$E2E_TMP/ff.gif"
gifsicle -O3 "$E2E_TMP/ff.gif" >"$E2E_TMP/ff-o3.gif"
composed gifsicle-O3 "$E2E_TMP/ff-o3.gif"

# A backdrop, then small frames, the last reaching past the screen's corner. The backdrop's
# colour table does not end in a 0 byte, so the first control extension follows a non-zero byte.
for dispose in previous background; do
  /usr/bin/convert -dispose none -delay 20 \( -size 160x120 xc:skyblue -fill orange -draw "rectangle 0,0 79,119" \) \
    -dispose "$dispose" -page 160x120+10+10 -size 40x40 xc:red -page 160x120+60+40 xc:lime \
    -page 160x120+130+95 xc:yellow -loop 0 "$E2E_TMP/$dispose.gif"
  composed "imagemagick-$dispose" "$E2E_TMP/$dispose.gif"
done

/usr/bin/convert -delay 20 -size 120x90 gradient:red-blue \( -size 120x90 gradient:yellow-green \) \
  \( -size 120x90 plasma:fractal -seed 3 \) -interlace GIF -loop 0 "$E2E_TMP/interlaced.gif"
composed interlaced "$E2E_TMP/interlaced.gif"

# Red, green and blue, all of delay 0: red shows once at the start, then green and blue take
# turns, a few times a second.
/usr/bin/convert -delay 0 -size 80x60 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/zero.gif"
e2e_setting AniFile "$E2E_TMP/zero.gif"
e2e_colour_watch 320 240 1.6 >"$E2E_TMP/zero.txt" &
watcher=$!
e2e_start /S
wait "$watcher"
runs=$(e2e_colour_runs "$E2E_TMP/zero.txt")
e2e_log "delay 0, centre: $runs"
[[ "$runs" == "red green blue green blue"* ]] || e2e_fail "frames of delay 0 did not keep playing: $runs"
e2e_pass "frames of delay 0 play"
xdotool key space
e2e_wait_exit 3 || e2e_fail "the show did not end on a key"
