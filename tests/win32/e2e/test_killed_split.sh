#!/usr/bin/env bash
# A show ended from outside (TerminateProcess; here the process is killed) while it splits a
# GIF leaves no frame file "tmp.gif" beside the program: the file goes with the process.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
prog_dir=$(dirname "$MARVOSCOPE")
scratch="$prog_dir/tmp.gif"
rm -f "$scratch"

# Many frames, so the split lasts long enough to be caught in the middle.
frames=()
for i in $(seq 1 40); do frames+=(xc:red xc:lime xc:blue); done
/usr/bin/convert -delay 10 -size 600x400 "${frames[@]}" +noise Gaussian -loop 0 "$E2E_TMP/long.gif" || e2e_fail "make gif"
e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/long.gif")"

caught=0
for attempt in 1 2 3; do
  e2e_start /S
  if e2e_wait_until 30 test -e "$scratch"; then
    kill -KILL "$E2E_PID"
    caught=1
  fi
  e2e_wait_exit 10 || e2e_fail "the killed show is still running"
  [ "$caught" -eq 1 ] && break
done
[ "$caught" -eq 1 ] || e2e_skip "the split ended before the frame file could be seen"
e2e_wait_until 10 test ! -e "$scratch" || { rm -f "$scratch"; e2e_fail "tmp.gif stayed after the show was killed"; }
e2e_pass "a show killed during the split leaves no tmp.gif"
