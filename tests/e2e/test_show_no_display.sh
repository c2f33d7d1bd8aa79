#!/usr/bin/env bash
# Without a display the program says so in one line and exits 1, whatever the switch; a toolkit
# that cannot start for another reason names that reason instead of blaming the installation.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

# one_line_status LABEL STATUS PATTERN COMMAND...: the command exits STATUS with one line on
# its error output that matches PATTERN.
one_line_status() {
  local label=$1 want=$2 pattern=$3 status
  shift 3
  "$@" >"$E2E_TMP/out.txt" 2>"$E2E_TMP/err.txt"; status=$?
  [ "$status" -eq "$want" ] || e2e_fail "$label: exit status $status, '$(cat "$E2E_TMP/err.txt")'"
  [ "$(wc -l <"$E2E_TMP/err.txt")" -eq 1 ] && grep -q "$pattern" "$E2E_TMP/err.txt" ||
    e2e_fail "$label: not one clear line: '$(cat "$E2E_TMP/err.txt")'"
  e2e_log "$label: $(cat "$E2E_TMP/err.txt")"
}

for sw in /S /C /c:1234 ""; do
  one_line_status "no DISPLAY, '$sw'" 1 "^marvoscope: cannot open the X display" \
    env -u DISPLAY -u WAYLAND_DISPLAY "$MARVOSCOPE" $sw
done
# A switch that opens no window needs no display: /P still ends at once, quietly.
env -u DISPLAY -u WAYLAND_DISPLAY "$MARVOSCOPE" /P >"$E2E_TMP/out.txt" 2>&1 || e2e_fail "no DISPLAY, '/P': exit status $?"
[ ! -s "$E2E_TMP/out.txt" ] || e2e_fail "no DISPLAY, '/P' said: $(cat "$E2E_TMP/out.txt")"
one_line_status "unreachable display" 1 "^marvoscope: cannot open the X display ':31999'" \
  env DISPLAY=:31999 "$MARVOSCOPE" /S
e2e_pass "no display or an unreachable one: one line, status 1"

one_line_status "unknown platform" 1 'marvoscope: .*"nosuch"' env QT_QPA_PLATFORM=nosuch "$MARVOSCOPE" /C
e2e_pass "another start-up failure of the toolkit names its cause"
