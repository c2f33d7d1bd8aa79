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

source bench/sway_session.sh

# The root window of Xvfb.
fifo=$work/displayfd && mkfifo "$fifo"
Xvfb -screen 0 1280x720x24 -nolisten tcp -displayfd 9 9>"$fifo" 2>/dev/null &
xvfb=$!; pids+=("$xvfb")
read -r display <"$fifo"
mkdir -p "$work/x/run" "$work/x/config" && chmod 700 "$work/x/run"
DISPLAY=:$display XDG_RUNTIME_DIR=$work/x/run XDG_CONFIG_HOME=$work/x/config build/marvoscope --root --file "$work/shown.gif" &
root=$!; pids+=("$root")
read -r root_cpu xvfb_cpu < <(measure 2 "$root" "$xvfb")
kill "$root"; wait "$root" || true
kill "$xvfb"; wait "$xvfb" 2>/dev/null || true

# A layer surface of sway.
bench_sway "$work/w"
(session "$(pwd)/build/marvoscope" --layer background --file "$work/shown.gif") &
layer=$!; pids+=("$layer")
read -r layer_cpu sway_cpu < <(measure 2 "$layer" "$sway")

printf '%-28s %10s %10s\n' "CPU seconds over 20 s" program server
printf '%-28s %10s %10s\n' "--root on Xvfb" "$root_cpu" "$xvfb_cpu"
printf '%-28s %10s %10s\n' "--layer background on sway" "$layer_cpu" "$sway_cpu"
awk -v l="$layer_cpu" -v r="$root_cpu" 'BEGIN { if (r > 0) printf "program ratio layer/root: %.2f\n", l / r }'
