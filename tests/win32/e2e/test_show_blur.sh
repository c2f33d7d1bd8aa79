#!/usr/bin/env bash
# The blurred placement on a 1280x720 screen, with an 800x600 picture: whole, as Fit shows it,
# with 160-pixel bars holding a smooth, darkened copy of it that fills the screen.
# A Wine server reads the screen once, when it starts: this check needs a prefix and a server
# of its own, started on its own screen.
unset MARVOSCOPE_WINE_READY
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_clear_settings
e2e_setting Mousesens 30

starts() {
  e2e_setting AniFile "$(e2e_winpath "$E2E_BLUR_PICTURE")"
  e2e_setting Placement "$1"
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$1: no saver window"
}
ends() { e2e_key_ends_show; }
e2e_blur_round
