#!/usr/bin/env bash
# Stills that drift on a 1280x720 screen with violet bars: filling the screen and shown whole,
# the photo rests on the framings the program logs at each drift's start and end and moves a few
# pixels a second in between, with the display's route and with the program's own drawing;
# stretched, or with Motion off, it stands still and wakes no frame timer.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_setting Mousesens 30
e2e_setting BackColors 16711808   # violet bars, 0x00FF0080
e2e_setting Interval 6
e2e_setting Motion 1
e2e_motion_photo "$E2E_TMP/photo.jpg"
e2e_setting AniFile "$E2E_TMP/photo.jpg"
E2E_MOTION_LOG=$E2E_TMP/drifts.log
export MARVOSCOPE_MOTION_LOG=$E2E_MOTION_LOG

starts() {
  xdotool mousemove 640 360
  e2e_start /S
  e2e_wait_window Marvoscope 10 >/dev/null || e2e_fail "$1: no saver window"
}
ends() {
  xdotool key space
  e2e_wait_exit 5 || e2e_fail "a key did not end the show"
}

for route in display own; do
  [ "$route" = own ] && export MARVOSCOPE_DRAW_MOTION=1
  E2E_MOTION_ROUTE=$route
  e2e_log "the $route route"
  e2e_motion_drifts Fill
  e2e_motion_drifts Fit
done
unset MARVOSCOPE_DRAW_MOTION
e2e_motion_idle stretched Stretch 1
e2e_motion_idle "Motion off" Fill 0
