#!/usr/bin/env bash
# A photo's caption and the clock as a reader sees them: the date taken and the town from its
# Exif, read back off the screen by OCR in the picture's lower left corner, the time in its upper
# right, and nothing else on screen changed; on two monitors, each monitor's picture has its own.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
command -v tesseract >/dev/null || e2e_skip "tesseract is not installed"
command -v exiftool >/dev/null || e2e_skip "exiftool is not installed"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
e2e_start_xvfb 1280x720
photo="$E2E_TMP/photo.jpg"
e2e_caption_photo "$photo" 1600x1200
e2e_setting AniFile "$photo"
e2e_setting Mousesens 30
e2e_setting BackColors 0
e2e_setting Placement Fit

# The 4:3 photo fitted on 1280x720 lies at x 160..1119; the boxes hold the corners' text.
caption_box=640x70+160+650
clock_box=320x70+800+0
show() {
  e2e_start /S
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window ($1)"
}
end_show() {
  xdotool key space
  e2e_wait_exit 3 || e2e_fail "the show did not end on a key ($1)"
}

e2e_setting Caption date,place
e2e_setting Clock 1
show captioned
e2e_wait_until 10 e2e_reads captioned "$caption_box" '14 July 2023.*Lyon, France' ||
  e2e_fail "the caption reads '$(e2e_ocr "$E2E_SHOT" "$caption_box" | tr '\n' '|')'"
e2e_pass "the lower left corner says 14 July 2023 · Lyon, France"
captioned=$E2E_SHOT
clock=$(e2e_clock_in "$captioned" "$clock_box") ||
  e2e_fail "the clock reads '$(e2e_ocr "$captioned" "$clock_box" | tr '\n' '|')', not hours and minutes"
e2e_pass "the upper right corner shows the time, $clock"
end_show captioned

e2e_setting Caption ""
e2e_setting Clock 0
show plain
e2e_wait_painted "$(e2e_find_window Marvoscope | head -n1)" 5 || e2e_fail "the plain show did not paint"
e2e_screenshot plain
rmse=$(e2e_masked_rmse "$captioned" "$E2E_SHOT" "$caption_box" "$clock_box")
awk "BEGIN { exit !($rmse <= 0.005) }" || e2e_fail "outside the text the captioned show differs by $rmse"
changed=$(e2e_changed_area "$captioned" "$E2E_SHOT")
e2e_pass "outside the text the screen is the plain show's (RMSE $rmse; changes within $changed)"
end_show plain

# Two monitors, each showing the photo whole: a 1024x768 one that it fills, and the primary
# 1280x720 right of it, where it lies at x 1184..2143.
e2e_start_two_monitors
e2e_setting Caption place
show two
e2e_wait_until 10 e2e_reads two-left 500x80+0+688 'Lyon, France' ||
  e2e_fail "the left monitor's caption reads '$(e2e_ocr "$E2E_SHOT" 500x80+0+688 | tr '\n' '|')'"
primary=$(e2e_ocr "$E2E_SHOT" 500x70+1184+698)
grep -q 'Lyon, France' <<<"$primary" ||
  e2e_fail "the primary monitor's caption reads '$(e2e_ocr "$E2E_SHOT" 500x70+1184+698 | tr '\n' '|')'"
e2e_pass "each of two monitors captions its own picture"
end_show two
