#!/usr/bin/env bash
# /S with a folder whose first picture is slow to prepare (an 11000x11000 JPEG, a second to
# decode even at an eighth of its size): the window is up in the background colour meanwhile,
# and input ends the show at once. A key 0.3 s after the start, and a move past the sensitivity
# 1.0 s after it, each end the show within 250 ms, in 20 of 20 tries. Wine takes a while of its
# own between mapping the program and running it, so the start is the moment a show of a small
# picture has its window up (the slowest of three such shows, from the program's mapping).
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
cc -O1 -o "$E2E_TMP/early_input" "$(dirname "$0")/../../e2e/early_input.c" -lX11 -ldl || e2e_fail "cannot build early_input"

dir="$E2E_TMP/pictures"
e2e_slow_first_folder "$dir"
e2e_clear_settings
e2e_setting Mousesens 15

mkdir -p "$E2E_TMP/small"
/usr/bin/convert -size 320x240 xc:lime "$E2E_TMP/small/b.jpg"
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/small")"
start=0
for try in 1 2 3; do
  e2e_wait_until 15 _e2e_no_earlier_window || true
  e2e_start /S
  ms=$("$E2E_TMP/early_input" Marvoscope none 0 20 "$E2E_PID" Marvoscope.scr) || e2e_fail "a show of a small picture had no window"
  e2e_press Escape "$(e2e_wait_window Marvoscope 5)"
  e2e_wait_exit 10 || e2e_fail "a show of a small picture did not end on a key"
  start=$(awk -v a="$start" -v b="$ms" 'BEGIN { print (b > a) ? int(b + 0.5) : a }')
done
e2e_log "a small picture's window is up $start ms after the program's mapping, at the slowest of three"
e2e_setting AniFile "$(e2e_winpath "$dir")"

for input in "key 300" "move 1000"; do
  read -r kind at <<<"$input"
  times=()
  for try in $(seq 20); do
    e2e_wait_until 15 _e2e_no_earlier_window || true
    xdotool mousemove 512 384
    e2e_start /S
    ms=$("$E2E_TMP/early_input" Marvoscope "$kind" $((start + at)) 20 "$E2E_PID" Marvoscope.scr)
    times+=("$ms")
    e2e_wait_exit 10 || e2e_fail "a $kind at $at ms did not end the show (try $try; ms so far: ${times[*]})"
  done
  e2e_early_input_verdict "$kind" "$at" "${times[@]}"
done
