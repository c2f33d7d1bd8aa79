#!/usr/bin/env bash
# GIFs from other encoders play: a transparent one shows the stored background colour, an
# ImageMagick animation with partial (optimised) frames and a gifsicle animation both run.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
e2e_setting Mousesens 15

show() {  # show FILE BACKCOLOR: starts the show of one GIF and waits for its window
  e2e_setting AniFile "$1"
  e2e_setting BackColors "$2"
  xdotool mousemove 640 512
  e2e_start /S
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window for $(basename "$1")"
}

plays() {  # plays FILE WHAT PATTERN: the centre of the show runs through PATTERN and the program lives on
  show "$1" 0
  e2e_colour_watch 640 512 2.5 >"$E2E_TMP/watch.txt"
  local runs
  runs=$(e2e_colour_runs "$E2E_TMP/watch.txt")
  e2e_log "$2, centre: $runs"
  [[ "$runs" == $3 ]] || e2e_fail "$2 did not animate: $runs"
  e2e_alive || e2e_fail "the program ended on the $2"
  e2e_pass "$2 plays"
  e2e_end_animated_show
}

# Left half red, right half transparent, over a stored background of blue (0x00FF0000).
/usr/bin/convert -size 64x48 xc:none -fill red -draw "rectangle 0,0 31,47" "$E2E_TMP/transparent.gif"
show "$E2E_TMP/transparent.gif" 16711680
e2e_wait_pixel transparent 320 512 255,0,0 5 || e2e_fail "the opaque half never showed red"
left=$(e2e_pixel "$E2E_SHOT" 320 512)
right=$(e2e_pixel "$E2E_SHOT" 960 512)
[ "$left" = "255,0,0" ] || e2e_fail "opaque half is $left, not red"
[ "$right" = "0,0,255" ] || e2e_fail "transparent half is $right, not the background blue"
e2e_pass "transparent pixels show the stored background colour"
e2e_end_animated_show

# ImageMagick, optimised: frames 1 and 2 only cover the changed square.
/usr/bin/convert -size 200x150 -delay 20 xc:red \
  \( xc:red -fill lime -draw "rectangle 50,50 149,99" \) \
  \( xc:red -fill blue -draw "rectangle 50,50 149,99" \) -loop 0 -layers optimize "$E2E_TMP/optimised.gif"
plays "$E2E_TMP/optimised.gif" "ImageMagick GIF with partial frames" "*green*blue*"

# gifsicle, assembled from three single-frame GIFs.
if command -v gifsicle >/dev/null; then
  for c in red lime blue; do /usr/bin/convert -size 80x60 "xc:$c" "$E2E_TMP/$c.gif"; done
  gifsicle --delay=20 --loopcount=forever "$E2E_TMP/red.gif" "$E2E_TMP/lime.gif" "$E2E_TMP/blue.gif" >"$E2E_TMP/sicle.gif"
  plays "$E2E_TMP/sicle.gif" "gifsicle GIF" "*green*blue*green*"
fi

# ffmpeg, from three solid colour clips: after its first frame it writes mostly 1x1 frames
# that only say "nothing changed", which keep the colour before them on the screen.
if command -v ffmpeg >/dev/null; then
  ffmpeg -loglevel error -f lavfi -i "color=c=red:s=80x60:d=0.5:r=10" \
    -f lavfi -i "color=c=0x00FF00:s=80x60:d=0.5:r=10" -f lavfi -i "color=c=blue:s=80x60:d=0.5:r=10" \
    -filter_complex "[0][1][2]concat=n=3:v=1,split[a][b];[a]palettegen[p];[b][p]paletteuse" \
    -loop 0 "$E2E_TMP/ffmpeg.gif" || e2e_fail "ffmpeg could not write the GIF"
  plays "$E2E_TMP/ffmpeg.gif" "ffmpeg GIF" "red green blue*"
fi
