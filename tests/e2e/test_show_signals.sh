#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end a show at once with status 0, while the toolkit is still
# starting, while it plays and in the middle of a long split, and leave no frame file behind.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 640x480

/usr/bin/convert -delay 20 -size 64x48 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif"
# A real animation followed by gigabytes of zeros (sparse, so it costs no disk): the split
# searches them for a next frame, in slices with event processing between, for seconds.
ffmpeg -loglevel error -f lavfi -i testsrc2=size=320x240:rate=25 -t 4 "$E2E_TMP/big.gif" || e2e_fail "ffmpeg"
truncate -s 3G "$E2E_TMP/big.gif"
e2e_setting Mousesens 30
xdotool mousemove 320 240

# ends_on SIGNAL LABEL: as e2e_ends_on, and the saver window is gone.
ends_on() {
  e2e_ends_on "$1" "$2"
  e2e_wait_no_window Marvoscope 2 || e2e_fail "$2: the saver window stayed"
}

# A signal the moment the program has opened its first socket (its X connection): the toolkit
# is still starting then.
_has_socket() { local f; for f in /proc/"$1"/fd/*; do [ -S "$f" ] && return 0; done; return 1; }
e2e_setting AniFile "$E2E_TMP/rgb.gif"
for sig in TERM INT HUP; do
  e2e_start /S
  limit=$((SECONDS + 5))
  until _has_socket "$E2E_PID" || e2e_gone "$E2E_PID" || [ "$SECONDS" -gt "$limit" ]; do :; done
  e2e_ends_on "$sig" "starting"
done
e2e_pass "a signal while the toolkit starts ends the program with status 0"

for sig in TERM INT HUP; do
  e2e_setting AniFile "$E2E_TMP/rgb.gif"
  e2e_start /S
  e2e_wait_pixel "playing-$sig" 320 240 0,0,255 5 40 || e2e_fail "SIG$sig: the GIF does not play"
  ends_on "$sig" "playing"

  e2e_setting AniFile "$E2E_TMP/big.gif"
  e2e_start /S
  sleep 0.7
  # The window shows only once the split is done.
  [ -z "$(e2e_find_window Marvoscope)" ] || e2e_fail "SIG$sig: the split was over already"
  ends_on "$sig" "mid-split"
done
e2e_pass "each signal ends the show at once with status 0 and no frame file, also mid-split"
