#!/usr/bin/env bash
# A JPG cut off after its first 5000 bytes. In a folder beside a red picture it is skipped with
# one line naming it and the screen shows red, never the cut one's grey; chosen alone it shows
# as far as it decodes, with one line naming it. The JPEG library's own unnamed warning is
# never printed.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024

dir="$E2E_TMP/pictures"
mkdir -p "$dir"
/usr/bin/convert -size 640x480 -seed 3 plasma:fractal -quality 90 "$E2E_TMP/photo.jpg"
head -c 5000 "$E2E_TMP/photo.jpg" >"$dir/cut.jpg"
/usr/bin/convert -size 320x240 xc:red "$dir/red.jpg"
e2e_setting AniFile "$dir"
e2e_setting Interval 1
e2e_setting Fade 0
e2e_setting Mousesens 15

_skipped() { grep -q "skipped .*cut.jpg" "$E2E_TMP/marvoscope.log"; }
xdotool mousemove 640 512
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s"
e2e_wait_until 10 _skipped || e2e_fail "no line names the cut file: $(cat "$E2E_TMP/marvoscope.log")"
e2e_colour_watch 640 512 3 >"$E2E_TMP/watch.txt"
e2e_log "centre colours: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"
others=$(awk 'NR == 1 && $2 == "black" { next } $2 != "red"' "$E2E_TMP/watch.txt")
[ -z "$others" ] || e2e_fail "the folder showed more than the red picture: $others"
e2e_log "$(grep "cut.jpg" "$E2E_TMP/marvoscope.log" | head -n1)"
e2e_end_animated_show
! grep -q "JPEG" "$E2E_TMP/marvoscope.log" || e2e_fail "the decoder's own warning was printed: $(grep JPEG "$E2E_TMP/marvoscope.log")"
e2e_pass "in a folder the cut file is skipped with one line that names it"

: >"$E2E_TMP/marvoscope.log"
e2e_setting AniFile "$dir/cut.jpg"
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "the cut file chosen alone shows no window"
_named() { grep -q "cut.jpg: .*ends early" "$E2E_TMP/marvoscope.log"; }
e2e_wait_until 5 _named || e2e_fail "no line names the cut file: $(cat "$E2E_TMP/marvoscope.log")"
# The top of the picture arrived: it shows the photo there, not one flat colour.
_photo_top() { e2e_screenshot cut-alone; [ "$(e2e_pixel "$E2E_SHOT" 100 20)" != "$(e2e_pixel "$E2E_SHOT" 1100 20)" ]; }
e2e_wait_until 5 _photo_top || e2e_fail "the decoded part is not shown"
e2e_end_animated_show
[ "$(grep -c "cut.jpg" "$E2E_TMP/marvoscope.log")" -eq 1 ] || e2e_fail "not one line: $(cat "$E2E_TMP/marvoscope.log")"
! grep -q "JPEG" "$E2E_TMP/marvoscope.log" || e2e_fail "the decoder's own warning was printed"
e2e_pass "chosen alone it shows what decodes, with one line that names it"
