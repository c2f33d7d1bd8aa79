#!/usr/bin/env bash
# The blurred placement on a 1280x720 screen, with an 800x600 picture: whole, as Fit shows it,
# with 160-pixel bars holding a smooth, darkened copy of it that fills the screen.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_setting Mousesens 30

starts() {
  e2e_setting AniFile "$E2E_BLUR_PICTURE"
  e2e_setting Placement "$1"
  xdotool mousemove 640 360
  e2e_start /S
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "$1: no saver window"
}
ends() {
  xdotool key space
  e2e_wait_exit 3 || e2e_fail "a key did not end the show"
}
e2e_blur_round
