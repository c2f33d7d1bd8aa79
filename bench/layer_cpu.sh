#!/usr/bin/env bash
# One animated GIF shown as a desktop background both ways Linux offers, each once on the same
# machine at 1280x720: hosted on the root window of a fresh Xvfb (--root), and on a layer
# surface of a fresh headless sway (--layer background; as the user nobody when run as root, as
# sway refuses root). Prints the CPU of the program and of its display server over 20 s of
# playing after 2 s of warm-up, and the ratio of the layer's to the root's (above 1: the layer
# costs more).
#   bash bench/layer_cpu.sh [GIF]     (default: 1280x720, 10 fps, 5 s of ffmpeg's test pattern)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
work=$(mktemp -d) && chmod 755 "$work"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"' EXIT
gif=${1:-}
if [ -z "$gif" ]; then
  gif=$work/pattern.gif
  ffmpeg -loglevel error -f lavfi -i testsrc2=size=1280x720:rate=10:duration=5 -loop 0 "$gif"
fi
cp "$gif" "$work/shown.gif" && chmod 644 "$work/shown.gif"

cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # clock ticks used so far
# measure PROGRAM SERVER: "program_seconds server_seconds" over 20 s after 2 s.
measure() {
  sleep 2
  local p0 s0 p1 s1 hz; p0=$(cpu "$1"); s0=$(cpu "$2"); sleep 20; p1=$(cpu "$1"); s1=$(cpu "$2")
  hz=$(getconf CLK_TCK)
  awk -v a="$p0" -v b="$p1" -v c="$s0" -v d="$s1" -v hz="$hz" 'BEGIN { printf "%.2f %.2f\n", (b - a) / hz, (d - c) / hz }'
}

# The root window of Xvfb.
fifo=$work/displayfd && mkfifo "$fifo"
Xvfb -screen 0 1280x720x24 -nolisten tcp -displayfd 9 9>"$fifo" 2>/dev/null &
xvfb=$!; pids+=("$xvfb")
read -r display <"$fifo"
mkdir -p "$work/x/run" "$work/x/config" && chmod 700 "$work/x/run"
DISPLAY=:$display XDG_RUNTIME_DIR=$work/x/run XDG_CONFIG_HOME=$work/x/config build/marvoscope --root --file "$work/shown.gif" &
root=$!; pids+=("$root")
read -r root_cpu xvfb_cpu < <(measure "$root" "$xvfb")
kill "$root"; wait "$root" || true
kill "$xvfb"; wait "$xvfb" 2>/dev/null || true

# A layer surface of sway.
user=(); [ "$(id -u)" = 0 ] && user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
mkdir -p "$work/w/run" "$work/w/home" && chmod 700 "$work/w/run"
[ "$(id -u)" = 0 ] && chown -R 65534:65534 "$work/w"
session() {
  exec "${user[@]}" env -i PATH=/usr/bin:/bin HOME="$work/w/home" XDG_CONFIG_HOME="$work/w/home" \
    XDG_RUNTIME_DIR="$work/w/run" WAYLAND_DISPLAY="${wayland:-}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman "$@"
}
ready=$work/sway-ready && mkfifo "$ready" && chmod 666 "$ready"
printf 'exec sh -c '\''echo "$WAYLAND_DISPLAY" >%s'\''\n' "$ready" >"$work/sway.config" && chmod 644 "$work/sway.config"
(session sway -c "$work/sway.config") >/dev/null 2>&1 &
sway=$!; pids+=("$sway")
read -r wayland <"$ready"
(session "$(pwd)/build/marvoscope" --layer background --file "$work/shown.gif") &
layer=$!; pids+=("$layer")
read -r layer_cpu sway_cpu < <(measure "$layer" "$sway")

printf '%-28s %10s %10s\n' "CPU seconds over 20 s" program server
printf '%-28s %10s %10s\n' "--root on Xvfb" "$root_cpu" "$xvfb_cpu"
printf '%-28s %10s %10s\n' "--layer background on sway" "$layer_cpu" "$sway_cpu"
awk -v l="$layer_cpu" -v r="$root_cpu" 'BEGIN { if (r > 0) printf "program ratio layer/root: %.2f\n", l / r }'
