#!/usr/bin/env bash
# A photo's caption and the clock in the .scr as a reader sees them: the date taken and the town
# from its Exif, read back off the screen by OCR in the picture's lower left corner at 1280x720,
# the time in its upper right, and nothing else on screen changed; on two monitors, each
# monitor's picture has its own. Needs a display of that size, so a prefix and server of its own.
unset MARVOSCOPE_WINE_READY
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
command -v tesseract >/dev/null || e2e_skip "tesseract is not installed"
command -v exiftool >/dev/null || e2e_skip "exiftool is not installed"
wineserver -k 2>/dev/null
e2e_start_xvfb 1280x720
photo="$E2E_TMP/photo.jpg"
e2e_caption_photo "$photo" 1600x1200
e2e_clear_settings
e2e_setting AniFile "$(e2e_winpath "$photo")"
e2e_setting Mousesens 30
e2e_setting BackColors 0
e2e_setting Placement Fit

# The 4:3 photo fitted on 1280x720 lies at x 160..1119; the boxes hold the corners' text.
caption_box=640x70+160+650
clock_box=320x70+800+0
show() {
  e2e_wait_until 15 _e2e_no_earlier_window || true
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window ($1)"
}
end_show() {
  e2e_press space "$win"
  e2e_wait_exit 20 || e2e_fail "the show did not end on a key ($1)"
}

e2e_setting Caption date,place
e2e_setting Clock 1
show captioned
e2e_wait_until 30 e2e_reads captioned "$caption_box" '(14 July|July 14,) 2023.*Lyon, France' ||
  e2e_fail "the caption reads '$(e2e_ocr "$E2E_SHOT" "$caption_box" | tr '\n' '|')'"
e2e_pass "the lower left corner gives the date taken and Lyon, France"
captioned=$E2E_SHOT
clock=$(e2e_clock_in "$captioned" "$clock_box") ||
  e2e_fail "the clock reads '$(e2e_ocr "$captioned" "$clock_box" | tr '\n' '|')', not hours and minutes"
e2e_pass "the upper right corner shows the time, $clock"
end_show captioned

e2e_setting Caption ""
e2e_setting Clock 0
show plain
e2e_wait_until 30 e2e_reads plain 640x70+160+650 '^[[:space:]]*$' || true
e2e_screenshot plain
rmse=$(e2e_masked_rmse "$captioned" "$E2E_SHOT" "$caption_box" "$clock_box")
awk "BEGIN { exit !($rmse <= 0.005) }" || e2e_fail "outside the text the captioned show differs by $rmse"
e2e_pass "outside the text the screen is the plain show's (RMSE $rmse)"
end_show plain

# Two 1280x720 monitors side by side (Xinerama heads), each captioning its own picture.
wineserver -w 2>/dev/null
e2e_start_xvfb 2600x800
e2e_start_x_server Xephyr +xinerama -extension RANDR -screen 1280x720 -screen 1280x720
e2e_setting Caption place
show two
e2e_wait_until 30 e2e_reads two-left 640x70+160+650 'Lyon, France' ||
  e2e_fail "the first monitor's caption reads '$(e2e_ocr "$E2E_SHOT" 640x70+160+650 | tr '\n' '|')'"
second=$(e2e_ocr "$E2E_SHOT" 640x70+1440+650)
grep -q 'Lyon, France' <<<"$second" || e2e_fail "the second monitor's caption reads '$(tr '\n' '|' <<<"$second")'"
e2e_pass "each of two monitors captions its own picture"
end_show two
