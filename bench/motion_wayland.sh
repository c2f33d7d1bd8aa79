#!/usr/bin/env bash
# One picture moving (--motion, filling the screen) on a layer surface of a fresh headless sway
# at 1280x720 (pixman renderer; as the user nobody when run as root, as sway refuses root),
# shown both ways: the compositor scaling the picture's one buffer each frame, and the program
# drawing every frame itself (MARVOSCOPE_DRAW_MOTION=1). Prints the CPU seconds of the program
# and of sway over 20 s after 3 s of warm-up, and the program's ratio of its own drawing to the
# compositor's.
#   bash bench/motion_wayland.sh [PICTURE] [RATE] [PLACEMENT]
#   (default: a 1920x1080 plasma; 60 frames a second; fill)
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
work=$(mktemp -d) && chmod 755 "$work"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; wait 2>/dev/null; rm -rf "$work"' EXIT
if [ -n "${1:-}" ]; then
  shown=$work/shown.${1##*.} && cp "$1" "$shown"
else
  shown=$work/shown.png && /usr/bin/convert -size 1920x1080 -seed 7 plasma:fractal -blur 0x2 "$shown"
fi
chmod 644 "$shown"
rate=${2:-60}
placement=${3:-fill}

source bench/sway_session.sh
bench_sway "$work/sway"

# run [VAR=VALUE]: "program server" CPU seconds of one way.
run() {
  (session env "$@" "$(pwd)/build/marvoscope" --layer background --file "$shown" --placement "$placement" --motion \
    --motion-rate "$rate") &
  local p=$!
  measure 3 "$p" "$sway"
  kill "$p"; wait "$p" 2>/dev/null || true
}
read -r scaled_cpu scaled_sway < <(run)
read -r drawn_cpu drawn_sway < <(run MARVOSCOPE_DRAW_MOTION=1)

printf '%-34s %10s %10s\n' "CPU seconds over 20 s ($rate fps, $placement)" program sway
printf '%-34s %10s %10s\n' "the compositor scaling" "$scaled_cpu" "$scaled_sway"
printf '%-34s %10s %10s\n' "drawn by the program" "$drawn_cpu" "$drawn_sway"
awk -v d="$drawn_cpu" -v s="$scaled_cpu" 'BEGIN { if (s > 0) printf "program ratio drawn/scaled: %.1f\n", d / s }'
