#!/usr/bin/env bash
# An animation of frames far larger than the screen, shown with its address space limited as
# `ulimit -v 300M` does: when a frame finds no memory to decode in, the decoded frames are
# dropped and it is decoded once more, so the animation keeps changing instead of freezing.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
command -v prlimit >/dev/null || e2e_fail "prlimit is not installed"
e2e_start_xvfb 1280x1024
e2e_tool colour_watch -lX11

# Six frames of 4800x4800 in red, green and blue in turn, 0.2 s each: 92 MB a decoded frame.
gif="$E2E_TMP/big.gif"
/usr/bin/python3 "$(dirname "$0")/uniform_gif.py" 4800 4800 6 "$gif"
e2e_setting AniFile "$gif"
e2e_setting Mousesens 15

xdotool mousemove 640 512
E2E_LAUNCHER="prlimit --as=$((300 * 1024 * 1024)) --"
e2e_colour_watch 640 512 14 >"$E2E_TMP/colours.txt" &
E2E_PIDS+=("$!")
watcher=$!
e2e_start /S
e2e_wait_window Marvoscope 10 >/dev/null || e2e_fail "no saver window within 10 s"
wait "$watcher"
e2e_alive || e2e_fail "the show ended by itself"
e2e_log "colour changes at the centre (ms, colour): $(tr '\n' ';' <"$E2E_TMP/colours.txt")"
# The last four seconds of the watch: the frames still change.
last=$(tail -n1 "$E2E_TMP/colours.txt" | awk '{print $1}')
late=$(awk -v t="$last" '$1 > 10000' "$E2E_TMP/colours.txt" | wc -l)
[ "$late" -ge 4 ] || e2e_fail "the animation stopped changing: $late changes after 10 s, last change at ${last} ms"
e2e_pass "the animation keeps changing with 300 MB of address space ($late changes in the last 4 s)"
e2e_end_animated_show
