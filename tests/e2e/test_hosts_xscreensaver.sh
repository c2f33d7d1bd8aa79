#!/usr/bin/env bash
# Under the real xscreensaver (Debian's), with the built program as its one hack: the picture on
# activation, a GIF that plays, and the hack gone soon after deactivation or xscreensaver's end.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
command -v xscreensaver >/dev/null || e2e_fail "xscreensaver is not installed"
e2e_start_xvfb 640x480
e2e_host_user_setup "$MARVOSCOPE"
e2e_host_pictures
trap 'e2e_stop_pattern "$E2E_USER_BIN/"; e2e_cleanup' EXIT

e2e_xscreensaver_start "$E2E_USER_BIN/marvoscope --root"
e2e_xscreensaver_round xscreensaver "$E2E_USER_BIN/marvoscope"
e2e_pass "xscreensaver shows the picture, plays a GIF and ends the hack"
