#!/usr/bin/env bash
# Sets everything up and runs the show on the bundled demo animation (or, with the argument
# "still", on the bundled still picture), with a throw-away settings store (your own settings
# are not touched). On a machine without a display the show runs in a virtual X server, a
# screenshot of it is saved, and the show is ended automatically.
#   bash scripts/demo.sh [animated|still]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope
case "${1:-animated}" in
  still) picture="$root/assets/demo.jpg"; [ -f "$picture" ] || bash scripts/make-demo-picture.sh "$picture" >/dev/null ;;
  animated) picture="$root/assets/demo.gif"; [ -f "$picture" ] || bash scripts/make-demo-gif.sh "$picture" >/dev/null ;;
  *) echo "usage: bash scripts/demo.sh [animated|still]" >&2; exit 2 ;;
esac

scratch=$(mktemp -d "${TMPDIR:-/tmp}/marvoscope-demo.XXXXXX")
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

export XDG_CONFIG_HOME="$scratch/config" XDG_CACHE_HOME="$scratch/cache" XDG_RUNTIME_DIR="$scratch/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The animation's round window shows the background colour: a soft violet (0x00BBGGRR). The
# picture is shown whole, so the window stays round on any screen, with bars of that violet.
printf '[Settings]\nAniFile=%s\nMousesens=15\nBackColors=15119560\nPlacement=Fit\n' "$picture" \
  >"$XDG_CONFIG_HOME/Marvoscope 1.0 Demo.ini"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  echo "Showing $(basename "$picture"). Move the mouse, click or press a key to end the show."
  build/marvoscope /S
  exit $?
fi

echo "No display found: showing the demo in a virtual X server (1280x1024)."
fifo="$scratch/displayfd"
mkfifo "$fifo"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$fifo" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
display=""
read -r -t 15 display <"$fifo" || true
[ -n "$display" ] || { echo "Xvfb did not start:" >&2; cat "$scratch/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM

build/marvoscope /S &
show_pid=$!
for _ in $(seq 100); do
  xdotool search --onlyvisible --name '^Marvoscope$' >/dev/null 2>&1 && break
  kill -0 "$show_pid" 2>/dev/null || { echo "The show ended before its window appeared." >&2; exit 1; }
  sleep 0.1
done
sleep 1
shot="$root/build/demo-screenshot.png"
import -window root "$shot"
echo "Screenshot of the running show saved to: $shot"
xdotool key space
status=0
wait "$show_pid" || status=$?
echo "The show ended on a key press (exit status $status)."
exit "$status"
