#!/usr/bin/env bash
# The options a shell user types, answered without a display: --help and --version on the
# standard output with status 0, an unknown option on the error output with status 2; the
# screen-saver switches and hosted mode's foreign options go on as before.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
unset DISPLAY WAYLAND_DISPLAY XSCREENSAVER_WINDOW

# run ARGS...: status, standard output and error output of one start, which must end by itself.
run() {
  timeout 10 "$MARVOSCOPE" "$@" >"$E2E_TMP/out" 2>"$E2E_TMP/err"
  status=$?
  [ "$status" -ne 124 ] || e2e_fail "'$*' did not end"
  out=$(cat "$E2E_TMP/out"); err=$(cat "$E2E_TMP/err")
}
expect() {  # LABEL STATUS OUT-PATTERN ERR-PATTERN ('' for an empty stream)
  [ "$status" -eq "$2" ] || e2e_fail "$1: status $status, not $2 (out: $out; err: $err)"
  if [ -z "$3" ]; then [ -z "$out" ] || e2e_fail "$1: printed '$out'"
  else grep -qE -- "$3" <<<"$out" || e2e_fail "$1: the output lacks '$3': $out"; fi
  if [ -z "$4" ]; then [ -z "$err" ] || e2e_fail "$1: said '$err'"
  else grep -qE -- "$4" <<<"$err" || e2e_fail "$1: the error output lacks '$4': $err"; fi
  e2e_pass "$1"
}

for o in --help -h; do
  run "$o"; expect "$o" 0 "^Usage: marvoscope " ""
  grep -q -- "--window-id ID" <<<"$out" && grep -q "man marvoscope" <<<"$out" &&
    grep -q "Marvoscope 1.0 Demo.ini" <<<"$out" || e2e_fail "$o: the help lacks the hosted options, the settings or the manual"
done
for o in --version -V; do run "$o"; expect "$o" 0 "^marvoscope [0-9]+\.[0-9]+$" ""; done
run --bogus; expect "--bogus" 2 "" "^marvoscope: unrecognised option '--bogus'$"
grep -q "^Usage: marvoscope" <<<"$err" || e2e_fail "--bogus: no usage line: $err"
run -x; expect "-x" 2 "" "unrecognised option '-x'"
run --file "$E2E_TMP/x.gif"; expect "--file alone" 2 "" "--file works only with --root, --window-id or --layer"

# The switches keep their silence, with or without a display.
run /x; expect "/x" 0 "" ""
run /p 1234; expect "/p 1234" 0 "" ""

# Hosted mode leaves a host's own options alone: the complaint is only about the display.
run --root -fps; [ "$status" -eq 1 ] && grep -q "need an X display" <<<"$err" && ! grep -q unrecognised <<<"$err" ||
  e2e_fail "--root -fps: status $status, err: $err"
e2e_pass "--root -fps: a host's options are no mistake"

# With a display: "/S --" is the show switch followed by anything, not an option.
e2e_start_xvfb 640x480
e2e_make_jpg "$E2E_TMP/photo.jpg" 160x120
e2e_setting AniFile "$E2E_TMP/photo.jpg"
e2e_start /S --
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "/S --: no show"
xdotool key x
e2e_wait_exit 3 || e2e_fail "/S --: the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] && ! grep -q unrecognised "$E2E_TMP/marvoscope.log" || e2e_fail "/S --: status $E2E_STATUS"
e2e_pass "/S -- shows the picture"
