#!/usr/bin/env bash
# /S with a stored JPG in a folder with a non-Latin name: the picture fills the screen,
# stretched; a key press ends the show with exit status 0.
source "$(dirname "$0")/lib.sh"

dir="$WORK/Картинки"
mkdir -p "$dir"
/usr/bin/convert -size 32x24 xc:red \( -size 32x24 xc:lime \) +append \
  \( -size 32x24 xc:blue -size 32x24 xc:yellow +append \) -append -quality 95 "$dir/four.jpg" || fail "make jpg"
reset_settings
# Wine reports small pointer moves when a window appears; a show must survive them.
set_setting Mousesens 30
set_setting AniFile "$(winpath "$dir/four.jpg")"

start_scr /S
win=$(wait_window Marvoscope 30) || fail "no saver window"
sleep 1.5
shot=$(screenshot show-jpg)
eval "$(xdotool getwindowgeometry --shell "$win")"
note "saver window ${WIDTH}x${HEIGHT} at $X,$Y; screenshot $shot"
[ "$WIDTH" -ge 1024 ] && [ "$HEIGHT" -ge 768 ] || fail "window does not cover the screen"
near "$(pixel "$shot" 256 192)" 255,0,0 || fail "top left is $(pixel "$shot" 256 192), not red"
near "$(pixel "$shot" 768 192)" 0,255,0 || fail "top right is $(pixel "$shot" 768 192), not green"
near "$(pixel "$shot" 256 576)" 0,0,255 || fail "bottom left is $(pixel "$shot" 256 576), not blue"
near "$(pixel "$shot" 768 576)" 255,255,0 || fail "bottom right is $(pixel "$shot" 768 576), not yellow"

press space "$win"
wait_exit "$LAST_PID" 20 || fail "the show did not end on a key"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
