#!/usr/bin/env bash
# Hosted mode ends when its window is destroyed in the middle of its start: after the program has
# asked about the window and before it watches it for its end. A host that closes a preview at
# once does that.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 640x480

pic="$E2E_TMP/photo.jpg"
e2e_make_jpg "$pic" 160x120
e2e_setting AniFile "$pic"
e2e_tool pause_at_window -shared -fPIC -ldl
fifo="$E2E_TMP/pause"
mkfifo "$fifo" "$fifo.resume"

e2e_host_window 0 0 200 150
LD_PRELOAD="$E2E_TOOLS/pause_at_window" PAUSE_WINDOW="$E2E_HOST_ID" PAUSE_FIFO="$fifo" e2e_start --window-id "$E2E_HOST_ID"
read -r -t 10 line <"$fifo" || e2e_fail "the program never asked about its window"
e2e_host_do destroy
echo go >"$fifo.resume"
e2e_wait_exit 5 || e2e_fail "still running 5 s after its window was destroyed during its start"
e2e_log "ended with status $E2E_STATUS: $(cat "$E2E_TMP/marvoscope.log")"
e2e_pass "a window destroyed during the start ends the program"
