#!/usr/bin/env bash
# /S with ffmpeg's default GIF, whose frames after the first mostly cover only what changed:
# three different moments of the show each look like a frame of a GIF viewer.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

command -v ffmpeg >/dev/null || e2e_fail "ffmpeg is not installed"
ffmpeg -loglevel error -f lavfi -i testsrc2=size=320x240:rate=10 -t 3 "$E2E_TMP/ff.gif" || e2e_fail "make gif"
size=$(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
e2e_compose_frames "$E2E_TMP/ff.gif" "#204080" "$size" "$E2E_TMP/frames" || e2e_fail "coalesce"
e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting BackColors 8405024
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/ff.gif")"

e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
# Close enough to a bilinear stretch of the frame that a nearest-pixel one would miss.
log=$(e2e_compose_watch "$E2E_TMP/frames" 3 0.02) || e2e_fail "$log"
e2e_log "$(tr '\n' ';' <<<"$log")"
cp "$E2E_TMP"/frames/shot-*.png "$E2E_SHOTS/" 2>/dev/null
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "ffmpeg's GIF plays as a GIF viewer shows it"
