#!/usr/bin/env bash
# When the show cannot start (a missing file, a folder, a file that is no picture), the setup
# dialog opens instead and says why in one line at the foot of its "File" page.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1024x768
e2e_clear_settings
mkdir -p "$E2E_TMP/Pictures"
head -c 5000 /dev/urandom >"$E2E_TMP/noise.jpg"
e2e_says_why missing "$E2E_TMP/gone.jpg"
e2e_says_why folder "$E2E_TMP/Pictures"
e2e_says_why noise "$E2E_TMP/noise.jpg"
