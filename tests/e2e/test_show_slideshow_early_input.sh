#!/usr/bin/env bash
# A folder whose first picture is slow to prepare (an 11000x11000 JPEG, a second to decode even
# at an eighth of its size): the show's window is up in the background colour meanwhile,
# and input ends the show at once. A key 0.3 s after the start, and a move past the sensitivity
# 1.0 s after it, each end the show within 250 ms, in 20 of 20 tries.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
e2e_tool early_input -lX11 -ldl

dir="$E2E_TMP/pictures"
e2e_slow_first_folder "$dir"
e2e_setting AniFile "$dir"
e2e_setting Mousesens 15

for input in "key 300" "move 1000"; do
  read -r kind at <<<"$input"
  times=()
  for try in $(seq 20); do
    xdotool mousemove 640 512
    e2e_start /S
    ms=$("$E2E_TOOLS/early_input" Marvoscope "$kind" "$at" 10)
    times+=("$ms")
    e2e_wait_exit 5 || e2e_fail "a $kind at $at ms did not end the show (try $try; ms so far: ${times[*]})"
  done
  e2e_early_input_verdict "$kind" "$at" "${times[@]}"
done
