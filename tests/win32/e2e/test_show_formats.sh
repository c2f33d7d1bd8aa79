#!/usr/bin/env bash
# Picture types beyond BMP, JPG, GIF and PNG, read by the system's codecs: a 1600x1200 TIFF
# fills the screen stretched, and the same photo upright (1200x1600) is shown whole with bars,
# each as ImageMagick decodes and places it. A HEIC, which no codec here reads, opens the setup
# dialog with its one line, as any unreadable file does.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting BackColors 16711808   # violet bars, 0x00FF0080

read -r SCREEN_W SCREEN_H < <(xdpyinfo | sed -n 's/ *dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')

# shows NAME PICTURE PLACEMENT: the show of PICTURE placed so is what ImageMagick makes of it.
shows() {
  local name=$1 picture=$2 placement=$3 win
  e2e_setting AniFile "$(e2e_winpath "$picture")"
  e2e_setting Placement "$placement"
  e2e_placed "$picture[0]" "${SCREEN_W}x$SCREEN_H" "$(tr '[:upper:]' '[:lower:]' <<<"$placement")" "$E2E_VIOLET" \
    "$E2E_TMP/want-$name.png"
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$name: no saver window"
  e2e_wait_picture "formats-$name" "$E2E_TMP/want-$name.png" 0.01 40 ||
    e2e_fail "$name: the screen is not the picture placed $placement (RMSE $E2E_RMSE)"
  e2e_press space "$win"
  e2e_wait_exit 20 || e2e_fail "$name: the show did not end on a key"
  e2e_wait_no_window Marvoscope 15 || true
  e2e_pass "$name, $placement: RMSE $E2E_RMSE against ImageMagick's decode placed so"
}

# A photo's kind of detail (soft colour fields) with hard edges, whose placement shows.
/usr/bin/convert -size 1600x1200 -seed 4 plasma:tomato-steelblue -blur 0x3 \
  -fill yellow -draw "rectangle 200,150 700,450" -fill navy -draw "circle 1100,800 1300,950" \
  -depth 8 -type truecolor "$E2E_TMP/photo.tif" || e2e_fail "cannot make the TIFF"
/usr/bin/convert "$E2E_TMP/photo.tif" -rotate 90 "$E2E_TMP/upright.tif" || e2e_fail "cannot turn the TIFF"
shows tiff-stretched "$E2E_TMP/photo.tif" Stretch
shows tiff-whole "$E2E_TMP/upright.tif" Fit

command -v heif-enc >/dev/null || e2e_fail "heif-enc is missing (scripts/install-deps-windows.sh installs it)"
/usr/bin/convert -size 320x240 plasma:red-blue "$E2E_TMP/small.png" &&
  heif-enc -q 60 "$E2E_TMP/small.png" -o "$E2E_TMP/photo.heic" >/dev/null || e2e_fail "cannot make the HEIC"
e2e_says_why heic "$(e2e_winpath "$E2E_TMP/photo.heic")"

# APNG, read by the program's own PNG reader as on Linux: a two-frame one (shown still, as a
# two-frame GIF is) shows its first frame, apngasm's lossless input, placed whole; one made from
# a GIF's frames plays them in the GIF's order and time.
command -v apngasm >/dev/null || e2e_fail "apngasm is missing (scripts/install-deps-windows.sh installs it)"
/usr/bin/convert "$E2E_TMP/photo.tif" PNG24:"$E2E_TMP/a1.png" && /usr/bin/convert "$E2E_TMP/a1.png" -negate "$E2E_TMP/a2.png" &&
  (cd "$E2E_TMP" && apngasm still.apng.png a1.png a2.png -z0 >/dev/null) || e2e_fail "cannot make the APNG"
mv "$E2E_TMP/still.apng.png" "$E2E_TMP/still.png"
shows apng-still "$E2E_TMP/still.png" Fit

e2e_setting Placement Stretch
e2e_setting BackColors 0
e2e_rgb_frames "$E2E_TMP"
(cd "$E2E_TMP" && apngasm rgb.apng.png f1.png f2.png f3.png >/dev/null) || e2e_fail "apngasm"
mv "$E2E_TMP/rgb.apng.png" "$E2E_TMP/rgb.png"
cc -O1 -o "$E2E_TMP/colour_watch" "$(dirname "$0")/../../e2e/colour_watch.c" -lX11 || e2e_fail "cannot build colour_watch"
# watch NAME PICTURE: the runs of colour at the centre over 8 s of the show of PICTURE.
watch() {
  local win watcher
  e2e_setting AniFile "$(e2e_winpath "$2")"
  "$E2E_TMP/colour_watch" $((SCREEN_W / 2)) $((SCREEN_H / 2)) 8 >"$E2E_TMP/$1.txt" &
  watcher=$!
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$1: no saver window"
  wait "$watcher"
  e2e_press Escape "$win"
  e2e_wait_exit 20 || e2e_fail "$1: the show did not end on a key"
  e2e_wait_no_window Marvoscope 15 || true
}
watch gif "$E2E_TMP/rgb.gif"
watch apng "$E2E_TMP/rgb.png"
gif=$(e2e_timed_runs "$E2E_TMP/gif.txt") apng=$(e2e_timed_runs "$E2E_TMP/apng.txt")
e2e_log "GIF: $gif; APNG: $apng"
[[ "$gif " == *"green:"*" blue:"*" green:"*" blue:"* ]] || e2e_fail "the GIF did not play: $gif"
e2e_same_timing "$gif" "$apng" || e2e_fail "the APNG does not play as the GIF does: $apng against $gif"
e2e_pass "the APNG plays the GIF's frames in its order and time: $apng"
