#!/usr/bin/env bash
# /S with a folder as the picture ("Interval" 2): every picture shows, each still for 2 s, none
# twice within a round, the file that is no picture is skipped; with "Fade" on, a change passes
# through the blend of the two colours; a key ends the show.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

dir="$E2E_TMP/pictures"
e2e_slide_folder "$dir"
e2e_clear_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$dir")"
e2e_setting Interval 2
e2e_setting Fade 0

e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
e2e_colour_watch 512 384 16 >"$E2E_TMP/watch.txt"
e2e_log "centre colour changes: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"
e2e_slide_runs "$E2E_TMP/watch.txt" >"$E2E_TMP/runs.txt"
e2e_check_slide_runs "$E2E_TMP/runs.txt"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "a key ended the show"

rm "$dir/g.gif"
e2e_setting Fade 1
e2e_wait_until 15 _e2e_no_earlier_window || true
e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window (fade)"
e2e_colour_watch 512 384 7 >"$E2E_TMP/fade.txt"
e2e_log "centre colour changes with fades: $(tr '\n' ' ' <"$E2E_TMP/fade.txt" | cut -c1-600)"
blends=$(grep -c 'rgb(' "$E2E_TMP/fade.txt")
[ "$blends" -ge 10 ] || e2e_fail "only $blends blended samples during the fades"
e2e_pass "changes fade ($blends blended samples)"
e2e_press Escape "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key (fade)"
