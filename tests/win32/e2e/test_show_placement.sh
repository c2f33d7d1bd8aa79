#!/usr/bin/env bash
# The stored placement on a 1280x720 screen, with an 800x600 picture: stretched as ever, whole
# (960x720 with 160-pixel bars in the background colour) or filling the screen (its bands cut
# off); a transparent GIF fitted whole keeps its frames in place and its hole shows the colour.
# A Wine server reads the screen once, when it starts: this check needs a prefix and a server
# of its own, started on its own screen.
unset MARVOSCOPE_WINE_READY
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720

e2e_clear_settings
e2e_setting Mousesens 30

# shows PICTURE MODE LIMIT: the show of PICTURE placed by MODE matches the expected screen.
shows() {
  e2e_setting AniFile "$(e2e_winpath "$1")"
  e2e_setting Placement "$2"
  e2e_placed "$1[0]" 1280x720 "$(tr '[:upper:]' '[:lower:]' <<<"$2")" "$E2E_VIOLET" "$E2E_TMP/want-$2.png"
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$2: no saver window"
  e2e_wait_picture "placed-$2-$(basename "$1")" "$E2E_TMP/want-$2.png" "$3" 40 ||
    e2e_fail "$2: the screen is not the picture placed so (RMSE $E2E_RMSE)"
  e2e_log "$2, $(basename "$1"): RMSE $E2E_RMSE against the expected screen"
}
ends() { e2e_key_ends_show; }

e2e_placement_round
