#!/usr/bin/env bash
# Today's picture types: a HEIC (8 and 10 bits), an AVIF, a JPEG XL, a WebP and an APNG photo
# each shows as its encoder's own decoder makes it, placed whole; an animated WebP and an APNG
# made from a GIF's frames play them in the GIF's order and time.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x720
e2e_setting Mousesens 30
e2e_setting BackColors 16711808   # violet bars, 0x00FF0080
e2e_setting Placement Fit
for tool in heif-enc heif-convert avifenc avifdec cjxl djxl cwebp dwebp gif2webp apngasm; do
  command -v "$tool" >/dev/null || e2e_fail "$tool is missing (scripts/install-deps.sh installs it)"
done

# shows NAME PICTURE DECODED: the show of PICTURE is DECODED (the encoder's decoder's PNG) placed.
shows() {
  local name=$1 win
  e2e_setting AniFile "$2"
  e2e_placed "$3" 1280x720 fit "$E2E_VIOLET" "$E2E_TMP/want-$name.png"
  xdotool mousemove 640 360
  e2e_start /S
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$name: no saver window"
  e2e_wait_picture "formats-$name" "$E2E_TMP/want-$name.png" 0.01 30 ||
    e2e_fail "$name: the screen is not the picture its decoder makes, placed whole (RMSE $E2E_RMSE)"
  xdotool key space
  e2e_wait_exit 20 || e2e_fail "$name: the show did not end on a key"
  e2e_pass "$name: RMSE $E2E_RMSE against its encoder's own decoder, placed whole"
}

photo=$E2E_TMP/photo.png
/usr/bin/convert -size 1600x1200 -seed 4 plasma:tomato-steelblue -blur 0x3 \
  -fill yellow -draw "rectangle 200,150 700,450" -fill navy -draw "circle 1100,800 1300,950" \
  -depth 8 -type truecolor "$photo" || e2e_fail "cannot make the photo"
# 16 bits a sample, which ImageMagick would otherwise write as 8 when nothing is lost.
/usr/bin/convert "$photo" -depth 16 PNG48:"$E2E_TMP/photo16.png"
d=$E2E_TMP
heif-enc -q 80 "$photo" -o "$d/photo.heic" >/dev/null && heif-convert "$d/photo.heic" "$d/heic.png" >/dev/null ||
  e2e_fail "heif-enc"
heif-enc -q 80 -b 10 "$d/photo16.png" -o "$d/photo10.heic" >/dev/null &&
  [ "$(/usr/bin/python3 -c "import sys; b = open(sys.argv[1], 'rb').read(); print((b[b.find(b'hvcC') + 21] & 7) + 8)" "$d/photo10.heic")" = 10 ] &&
  heif-convert "$d/photo10.heic" "$d/heic10.png" >/dev/null || e2e_fail "heif-enc, 10 bits"
avifenc --min 20 --max 30 "$photo" "$d/photo.avif" >/dev/null && avifdec "$d/photo.avif" "$d/avif.png" >/dev/null || e2e_fail "avifenc"
cjxl -q 85 "$photo" "$d/photo.jxl" >/dev/null 2>&1 && djxl "$d/photo.jxl" "$d/jxl.png" >/dev/null 2>&1 || e2e_fail "cjxl"
cwebp -quiet -q 85 "$photo" -o "$d/photo.webp" && dwebp -quiet "$d/photo.webp" -o "$d/webp.png" || e2e_fail "cwebp"
shows heic "$d/photo.heic" "$d/heic.png"
shows heic-10-bit "$d/photo10.heic" "$d/heic10.png"
shows avif "$d/photo.avif" "$d/avif.png"
shows jpeg-xl "$d/photo.jxl" "$d/jxl.png"
shows webp "$d/photo.webp" "$d/webp.png"
# A two-frame APNG shows still, as a two-frame GIF does: its first frame, apngasm's lossless input.
# (apngasm reads numbered names.)
cp "$photo" "$d/s1.png" && /usr/bin/convert "$photo" -negate "$d/s2.png"
(cd "$d" && apngasm still.apng.png s1.png s2.png -z0 >/dev/null) || e2e_fail "apngasm"
mv "$d/still.apng.png" "$d/still.png"
shows apng-still "$d/still.png" "$photo"

# The animations: each watched at the centre for 7 s, their runs of colour against the GIF's.
e2e_setting Placement Stretch
e2e_setting BackColors 0
e2e_rgb_frames "$d"
gif2webp -quiet "$d/rgb.gif" -o "$d/rgb.webp" || e2e_fail "gif2webp"
(cd "$d" && apngasm rgb.apng.png f1.png f2.png f3.png >/dev/null) || e2e_fail "apngasm"
mv "$d/rgb.apng.png" "$d/rgb.png"
watch() {
  e2e_setting AniFile "$2"
  xdotool mousemove 640 360
  e2e_colour_watch 640 360 7 >"$d/$1.txt" &
  local watcher=$!
  e2e_start /S
  e2e_wait_window Marvoscope 10 >/dev/null || e2e_fail "$1: no saver window"
  wait "$watcher"
  e2e_end_animated_show
  e2e_timed_runs "$d/$1.txt"
}
gif=$(watch gif "$d/rgb.gif")
e2e_log "GIF: $gif"
[[ "$gif " == "red:"*" green:"*" blue:"*" green:"*" blue:"* ]] || e2e_fail "the GIF did not play: $gif"
for kind in webp png; do
  runs=$(watch "$kind" "$d/rgb.$kind")
  e2e_log "$kind: $runs"
  e2e_same_timing "$gif" "$runs" || e2e_fail "the animated $kind does not play as the GIF does: $runs against $gif"
  e2e_pass "the animated $kind plays the GIF's frames in its order and time: $runs"
done
