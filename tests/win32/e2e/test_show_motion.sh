#!/usr/bin/env bash
# Stills that drift on a 1280x720 screen with violet bars: filling the screen and shown whole,
# the photo rests on the framings the program logs at each drift's start and end and moves a few
# pixels a second in between; stretched, or with Motion off, it stands still and wakes no frame
# timer. A Wine server reads the screen once, when it starts: this check needs a prefix and a
# server of its own, started on its own screen.
unset MARVOSCOPE_WINE_READY MARVOSCOPE_DRAW_MOTION
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting BackColors 16711808   # violet bars, 0x00FF0080
e2e_setting Interval 6
e2e_setting Motion 1
e2e_motion_photo "$E2E_TMP/photo.jpg"
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/photo.jpg")"
E2E_MOTION_LOG=$E2E_TMP/drifts.log
: >"$E2E_MOTION_LOG"
MARVOSCOPE_MOTION_LOG=$(e2e_winpath "$E2E_MOTION_LOG")
export MARVOSCOPE_MOTION_LOG

starts() {
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$1: no saver window"
}
ends() { e2e_key_ends_show; }

e2e_motion_drifts Fill
e2e_motion_drifts Fit
e2e_motion_idle stretched Stretch 1
e2e_motion_idle "Motion off" Fill 0
