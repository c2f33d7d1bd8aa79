#!/usr/bin/env bash
# --layer never falls back to an ordinary window: without a Wayland display, and under a
# compositor without layer shell (weston's desktop shell), it says why in one line and ends
# with status 1.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
e2e_init "$1"

# one_line_status_1 LABEL WORDS: the run just made said one line holding WORDS, status 1.
one_line_status_1() {
  [ "$E2E_STATUS" = 1 ] || e2e_fail "$1: status $E2E_STATUS"
  [ "$(wc -l <"$E2E_TMP/out")" = 1 ] || e2e_fail "$1: not one line: $(cat "$E2E_TMP/out")"
  grep -q "$2" "$E2E_TMP/out" || e2e_fail "$1: the line does not say '$2': $(cat "$E2E_TMP/out")"
  e2e_pass "$1: $(cat "$E2E_TMP/out")"
}

for layer in background overlay; do
  env -u WAYLAND_DISPLAY -u WAYLAND_SOCKET "$MARVOSCOPE" --layer "$layer" >"$E2E_TMP/out" 2>&1
  E2E_STATUS=$?
  one_line_status_1 "no WAYLAND_DISPLAY ($layer)" WAYLAND_DISPLAY
done
WAYLAND_DISPLAY=no-such-compositor "$MARVOSCOPE" --layer background >"$E2E_TMP/out" 2>&1
E2E_STATUS=$?
one_line_status_1 "no compositor there" "cannot connect"

command -v weston >/dev/null || e2e_skip "weston is not installed (scripts/test.sh installs it)"
e2e_wl_init
socket=marvoscope-weston
(_e2e_wl_exec weston --backend=headless-backend.so --shell=desktop-shell.so --socket="$socket" --idle-time=0) \
  >>"$E2E_TMP/weston.log" 2>&1 &
E2E_SERVERS+=("$!")
_weston_up() { [ -S "$XDG_RUNTIME_DIR/$socket" ]; }
e2e_wait_until 15 _weston_up || e2e_fail "weston did not start: $(tail -n 5 "$E2E_TMP/weston.log")"
WAYLAND_DISPLAY=$socket e2e_wl "$MARVOSCOPE" --layer background >"$E2E_TMP/out" 2>&1
E2E_STATUS=$?
one_line_status_1 "weston's desktop shell" "layer-shell"
