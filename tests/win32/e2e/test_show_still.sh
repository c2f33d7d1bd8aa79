#!/usr/bin/env bash
# /S with a stored JPG in a folder with a non-Latin name: the picture fills the screen,
# stretched; a key press ends the show with exit status 0.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

dir="$E2E_TMP/Картинки"
mkdir -p "$dir"
/usr/bin/convert -size 32x24 xc:red \( -size 32x24 xc:lime \) +append \
  \( -size 32x24 xc:blue -size 32x24 xc:yellow +append \) -append -quality 95 "$dir/four.jpg" || e2e_fail "make jpg"
e2e_clear_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
e2e_setting Mousesens 30
e2e_setting AniFile "$(e2e_winpath "$dir/four.jpg")"

e2e_start /S
win=$(e2e_wait_window Marvoscope 30) || e2e_fail "no saver window"
e2e_wait_pixel show-jpg 256 192 255,0,0 10 40 || e2e_fail "the picture did not appear"
shot=$E2E_SHOT
eval "$(xdotool getwindowgeometry --shell "$win")"
e2e_log "saver window ${WIDTH}x${HEIGHT} at $X,$Y; screenshot $shot"
[ "$WIDTH" -ge 1024 ] && [ "$HEIGHT" -ge 768 ] || e2e_fail "window does not cover the screen"
e2e_near "$(e2e_pixel "$shot" 256 192)" 255,0,0 || e2e_fail "top left is $(e2e_pixel "$shot" 256 192), not red"
e2e_near "$(e2e_pixel "$shot" 768 192)" 0,255,0 || e2e_fail "top right is $(e2e_pixel "$shot" 768 192), not green"
e2e_near "$(e2e_pixel "$shot" 256 576)" 0,0,255 || e2e_fail "bottom left is $(e2e_pixel "$shot" 256 576), not blue"
e2e_near "$(e2e_pixel "$shot" 768 576)" 255,255,0 || e2e_fail "bottom right is $(e2e_pixel "$shot" 768 576), not yellow"

e2e_press space "$win"
e2e_wait_exit 20 || e2e_fail "the show did not end on a key"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
e2e_pass "the JPG fills the screen stretched and a key ends the show"
