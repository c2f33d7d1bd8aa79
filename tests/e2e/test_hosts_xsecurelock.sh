#!/usr/bin/env bash
# Under the real xsecurelock (Debian's), with the saver module from the source tree pointed at
# the built program: the locked screen shows the picture, and stopping xsecurelock ends it.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
command -v xsecurelock >/dev/null || e2e_fail "xsecurelock is not installed"
e2e_start_xvfb 640x480
e2e_host_user_setup "$MARVOSCOPE"
# The module finds the program two folders up, as the installed layout has it.
mkdir -p "$E2E_TMP/libexec/xsecurelock" "$E2E_TMP/bin"
cp "$(dirname "$0")/../../packaging/saver_marvoscope" "$E2E_TMP/libexec/xsecurelock/"
cp "$MARVOSCOPE" "$E2E_TMP/bin/marvoscope"
saver="$E2E_TMP/.*bin/marvoscope --root"  # how the module starts it, as pgrep matches it
e2e_make_jpg "$E2E_TMP/still.jpg" 320x240
e2e_user_setting AniFile "$E2E_TMP/still.jpg"
e2e_user_setting BackColors 0
trap 'e2e_stop_pattern "$saver"; e2e_cleanup' EXIT

"${E2E_AS_USER[@]}" XSECURELOCK_SAVER="$E2E_TMP/libexec/xsecurelock/saver_marvoscope" xsecurelock \
  >>"$E2E_TMP/xsecurelock.log" 2>&1 &
locker=$!
E2E_PIDS+=("$locker")
/usr/bin/convert "$E2E_TMP/still.jpg" -resize '640x480!' "$E2E_TMP/expected.png"
e2e_wait_picture xsecurelock "$E2E_TMP/expected.png" 0.05 10 ||
  e2e_fail "the locked screen does not show the picture (RMSE $E2E_RMSE): $(cat "$E2E_TMP/xsecurelock.log")"
e2e_log "xsecurelock: screenshot vs. picture stretched to 640x480: RMSE $E2E_RMSE"
[ -n "$(e2e_pids_of "$saver")" ] || e2e_fail "no marvoscope process under xsecurelock"
e2e_pass "xsecurelock's saver shows the picture"

sent=$(e2e_now_ms)
kill "$locker"
e2e_wait_gone "$saver" 3 || e2e_fail "the saver still runs 3 s after xsecurelock was stopped"
e2e_log "xsecurelock: saver gone $(( $(e2e_now_ms) - sent )) ms after xsecurelock was stopped"
e2e_pass "stopping xsecurelock ends the saver"
