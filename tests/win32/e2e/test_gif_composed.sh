#!/usr/bin/env bash
# /S with ffmpeg's default GIF, whose frames after the first mostly cover only what changed:
# three different moments of the show each look like a frame of a GIF viewer.
source "$(dirname "$0")/lib.sh"
source "$HERE/../../e2e/compose_check.sh"

command -v ffmpeg >/dev/null || fail "ffmpeg is not installed"
ffmpeg -loglevel error -f lavfi -i testsrc2=size=320x240:rate=10 -t 3 "$WORK/ff.gif" || fail "make gif"
size=$(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*x[0-9]*\).*/\1/p')
compose_frames "$WORK/ff.gif" "#204080" "$size" "$WORK/frames" || fail "coalesce"
reset_settings
set_setting Mousesens 30
set_setting BackColors 8405024
set_setting AniFile "$(winpath "$WORK/ff.gif")"

start_scr /S
win=$(wait_window Marvoscope 30) || fail "no saver window"
log=$(compose_watch "$WORK/frames" 3 0.1) || fail "$log"
note "$(tr '\n' ';' <<<"$log")"
cp "$WORK"/frames/shot-*.png "$SHOTS/" 2>/dev/null
press Escape "$win"
wait_exit "$LAST_PID" 20 || fail "the show did not end on a key"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
