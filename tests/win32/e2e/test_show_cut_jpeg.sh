#!/usr/bin/env bash
# A JPG cut off after its first 5000 bytes. In a folder beside a red picture it is skipped with
# one line naming it and the screen shows red; chosen alone it shows as far as it decodes, with
# one line naming it, where the setup dialog used to open for want of a picture.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

dir="$E2E_TMP/pictures"
mkdir -p "$dir"
/usr/bin/convert -size 640x480 -seed 3 plasma:fractal -quality 90 "$E2E_TMP/photo.jpg"
head -c 5000 "$E2E_TMP/photo.jpg" >"$dir/cut.jpg"
/usr/bin/convert -size 320x240 xc:red "$dir/red.jpg"
e2e_clear_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$dir")"
e2e_setting Interval 1
e2e_setting Fade 0

_skipped() { grep -q "skipped .*cut.jpg" "$E2E_TMP/marvoscope.log"; }
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
e2e_wait_until 15 _skipped || e2e_fail "no line names the cut file: $(cat "$E2E_TMP/marvoscope.log")"
e2e_colour_watch 512 384 3 >"$E2E_TMP/watch.txt"
e2e_log "centre colours: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"
others=$(awk 'NR == 1 && $2 == "black" { next } $2 != "red"' "$E2E_TMP/watch.txt")
[ -z "$others" ] || e2e_fail "the folder showed more than the red picture: $others"
e2e_log "$(grep "cut.jpg" "$E2E_TMP/marvoscope.log" | head -n1)"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
e2e_pass "in a folder the cut file is skipped with one line that names it"

: >"$E2E_TMP/marvoscope.log"
e2e_setting AniFile "$(e2e_winpath "$dir/cut.jpg")"
e2e_wait_until 15 _e2e_no_earlier_window || true
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "the cut file chosen alone shows no show window"
_named() { grep -q "cut.jpg: .*ends early" "$E2E_TMP/marvoscope.log"; }
e2e_wait_until 10 _named || e2e_fail "no line names the cut file: $(cat "$E2E_TMP/marvoscope.log")"
# The top of the picture arrived: it shows the photo there, not one flat colour.
_photo_top() { e2e_screenshot cut-alone; [ "$(e2e_pixel "$E2E_SHOT" 80 15)" != "$(e2e_pixel "$E2E_SHOT" 940 15)" ]; }
e2e_wait_until 5 _photo_top || e2e_fail "the decoded part is not shown"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$(grep -c "cut.jpg" "$E2E_TMP/marvoscope.log")" -eq 1 ] || e2e_fail "not one line: $(cat "$E2E_TMP/marvoscope.log")"
e2e_pass "chosen alone it shows what decodes, with one line that names it"
