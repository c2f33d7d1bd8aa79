#!/usr/bin/env bash
# Hosted mode with --file DIR --interval 2 in a 320x240 window: the folder's pictures take
# turns every 2 s whatever interval is stored, and SIGTERM ends it; a folder with nothing to
# show paints the background colour and says why in one line.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 1024x768

dir="$E2E_TMP/pictures"
e2e_slide_folder "$dir"
e2e_setting AniFile "$E2E_TMP/elsewhere.jpg"
e2e_setting Interval 30
e2e_setting BackColors 16711808   # violet

e2e_host_window 100 100 320 240
e2e_start --window-id "$E2E_HOST_ID" --file "$dir" --interval 2 --no-fade
e2e_colour_watch 260 220 12 >"$E2E_TMP/watch.txt"
e2e_log "window centre colour changes: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"
e2e_slide_runs "$E2E_TMP/watch.txt" >"$E2E_TMP/runs.txt"
e2e_log "pictures and their ms: $(tr '\n' ' ' <"$E2E_TMP/runs.txt")"
[ "$(cut -d' ' -f1 "$E2E_TMP/runs.txt" | sort -u | grep -vc other)" -ge 4 ] || e2e_fail "fewer than four pictures in 12 s"
bad=$(awk 'NR > 1 && $1 != "gif" && ($2 < 1700 || $2 > 2300) { printf " %s", $0 }' "$E2E_TMP/runs.txt")
[ -z "$bad" ] || e2e_fail "a still did not stay 2 s:$bad"
e2e_ends_on TERM "--file DIR --interval 2"
e2e_pass "--file DIR --interval 2 changes pictures every 2 s over the stored 30"

mkdir -p "$E2E_TMP/empty"
e2e_start --window-id "$E2E_HOST_ID" --file "$E2E_TMP/empty"
e2e_wait_pixel hosted-empty 260 220 128,0,255 5 || e2e_fail "an empty folder does not show the background colour"
e2e_wait_until 5 grep -q "no picture in" "$E2E_TMP/marvoscope.log" || e2e_fail "no line says why"
e2e_ends_on TERM "empty folder"
e2e_pass "an empty folder shows the background colour and says why"
