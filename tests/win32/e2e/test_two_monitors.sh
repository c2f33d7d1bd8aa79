#!/usr/bin/env bash
# /S on a desktop of two monitors of different sizes (an X server with two Xinerama heads):
# each monitor shows the whole picture stretched over it, and a key ends the show.
# A Wine server reads the monitors once, when it starts: this check needs a prefix and a
# server of its own, started on the two-headed display.
unset MARVOSCOPE_WINE_READY
source "$(dirname "$0")/lib.sh"

command -v Xephyr >/dev/null || fail "Xephyr is not installed"
free_display() { local n; for n in $(seq "$1" $(($1 + 40))); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { echo "$n"; return; }; done; }
host=$(free_display 150)
Xvfb ":$host" -screen 0 3400x1200x24 -nolisten tcp >/dev/null 2>&1 &
servers=($!)
trap 'kill "${servers[@]}" 2>/dev/null; wait "${servers[@]}" 2>/dev/null; cleanup' EXIT
for _ in $(seq 50); do DISPLAY=":$host" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
heads=$(free_display $((host + 1)))
DISPLAY=":$host" Xephyr ":$heads" +xinerama -extension RANDR -screen 1920x1080 -screen 1280x1024 -nolisten tcp \
  >/dev/null 2>&1 &
servers+=($!)
export DISPLAY=":$heads"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || fail "the two-headed X server did not start"

/usr/bin/convert -size 320x240 gradient:red-blue -fill yellow -draw "rectangle 0,0 159,119" \
  -fill lime -draw "rectangle 240,180 319,239" -quality 95 "$WORK/picture.jpg" || fail "make jpg"
reset_settings
set_setting Mousesens 30
set_setting AniFile "$(winpath "$WORK/picture.jpg")"
start_scr /S
win=$(wait_window Marvoscope 30) || fail "no saver window"

# monitor_rmse W H X Y: how far the screenshot's part for one monitor is from the picture
# stretched over it.
monitor_rmse() {
  /usr/bin/convert "$shot" -crop "$1x$2+$3+$4" +repage "$WORK/monitor.png"
  /usr/bin/convert "$WORK/picture.jpg" -resize "$1x$2!" "$WORK/want.png"
  /usr/bin/compare -metric RMSE "$WORK/monitor.png" "$WORK/want.png" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/'
}
# The show is painted once its window is up: wait until both monitors match, or a deadline.
for i in $(seq 40); do
  shot=$(screenshot "two-monitors")
  first=$(monitor_rmse 1920 1080 0 0)
  second=$(monitor_rmse 1280 1024 1920 0)
  awk "BEGIN { exit !($first < 0.06 && $second < 0.06) }" && break
done
note "monitor 1 RMSE $first, monitor 2 RMSE $second"
awk "BEGIN { exit !($first < 0.06) }" || fail "monitor 1 does not show the picture (RMSE $first)"
awk "BEGIN { exit !($second < 0.06) }" || fail "monitor 2 does not show the picture (RMSE $second)"

press Escape "$win"
wait_exit "$LAST_PID" 20 || fail "the show did not end on a key"
[ "$EXIT_STATUS" -eq 0 ] || fail "exit status $EXIT_STATUS"
echo "PASS"
