#!/usr/bin/env bash
# A folder as the picture: three solid-colour JPGs, a PNG, a small GIF and a file that is no
# picture, "Interval" 2. Sampling the screen's centre sees every picture, each still for 2 s,
# no picture twice within a round and the bad file skipped with one line; with "Fade" on, a
# change passes through the blend of the two colours.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024

dir="$E2E_TMP/pictures"
e2e_slide_folder "$dir"
e2e_setting AniFile "$dir"
e2e_setting Interval 2
e2e_setting Fade 0
e2e_setting Mousesens 15

xdotool mousemove 640 512
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s"
e2e_colour_watch 640 512 16 >"$E2E_TMP/watch.txt"
e2e_log "centre colour changes: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"
e2e_slide_runs "$E2E_TMP/watch.txt" >"$E2E_TMP/runs.txt"
e2e_check_slide_runs "$E2E_TMP/runs.txt"
# Tried once a round, and 16 s hold at most two rounds of five.
skips=$(grep -c "skipped .*bad.jpg" "$E2E_TMP/marvoscope.log")
[ "$skips" -ge 1 ] && [ "$skips" -le 2 ] || e2e_fail "the bad file was reported $skips times"
e2e_alive || e2e_fail "the show ended by itself"
e2e_end_animated_show
e2e_pass "the bad file was skipped with one line; the pointer ended the show"

# Fades: between two stills the centre passes through colours neither of them has.
rm "$dir/g.gif"
e2e_setting Fade 1
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s (fade)"
e2e_colour_watch 640 512 7 >"$E2E_TMP/fade.txt"
e2e_log "centre colour changes with fades: $(tr '\n' ' ' <"$E2E_TMP/fade.txt" | cut -c1-600)"
blends=$(grep -c 'rgb(' "$E2E_TMP/fade.txt")
[ "$blends" -ge 10 ] || e2e_fail "only $blends blended samples during the fades"
e2e_pass "changes fade ($blends blended samples)"
e2e_end_animated_show
e2e_pass "input ended the show"
