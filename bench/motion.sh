#!/usr/bin/env bash
# A photo's slow pan and zoom in Marvoscope beside mpv playing the same motion as a video, each
# alone full screen in a fresh Xvfb (1920x1080), one run. The photo is 4000x2250 (plasma, JPEG
# q85); the video is that photo panned and zoomed by ffmpeg's zoompan: 25 s at 30 fps, 1920x1080,
# zoom 1.00 to 1.15 and the centre moving 5 % of the frame towards a corner, eased in and out,
# libx264 yuv420p. mpv plays it looped (--hwdec=no --fs) with its default video output and with
# --vo=x11; Marvoscope shows the photo filled with Motion on, by the display's scaling (the
# default) and by its own drawing (MARVOSCOPE_DRAW_MOTION=1), at MotionRate 30 and 60.
# After SETTLE s (3) each run is watched for SECONDS s (20): the CPU of the player and of the X
# server (utime+stime), the frames the player's window shows (bench/frame_watch.c: X DAMAGE
# notifications on its top-level window, those a few ms apart being one frame), the longest
# time between two frames and how many gaps passed 50 ms. Prints one table with the ratio of
# each run's CPU (player plus X) to that of the cheaper mpv; the bound is Marvoscope's at 30 fps
# no more than half of it with no gap over 50 ms.
#   bash bench/motion.sh [--seconds N] [--settle N] [--runs mpv,mpv-x11,x11-30,x11-60,draw-30,draw-60]
# Inputs are kept in build/bench-inputs/motion.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=20 settle=3 runs="mpv mpv-x11 x11-30 draw-30 x11-60 draw-60"
usage="usage: bash bench/motion.sh [--seconds N] [--settle N] [--runs mpv,mpv-x11,x11-30,x11-60,draw-30,draw-60]"
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    --settle) settle=$2; shift 2 ;;
    --runs) runs=${2//,/ }; shift 2 ;;
    *) echo "$usage" >&2; exit 2 ;;
  esac
done
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "bad --seconds: $seconds" >&2; exit 2; }
[[ $settle =~ ^[0-9]+$ ]] || { echo "bad --settle: $settle" >&2; exit 2; }
for r in $runs; do
  [[ $r =~ ^(mpv|mpv-x11|(x11|draw)-(30|60))$ ]] || { echo "unknown run: $r" >&2; echo "$usage" >&2; exit 2; }
done

bash scripts/install-deps.sh mpv ffmpeg libxdamage-dev >/dev/null
launch=()
command -v ccache >/dev/null && launch=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launch[@]}" >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null

inputs=build/bench-inputs/motion
mkdir -p "$inputs"
cc -O1 -o "$inputs/frame_watch" bench/frame_watch.c -lXdamage -lX11
photo=$inputs/photo.jpg video=$inputs/motion.mp4
[ -s "$photo" ] || /usr/bin/convert -seed 7 -size 4000x2250 plasma:fractal -blur 0x1 -quality 85 "$photo"
if [ ! -s "$video" ]; then
  # zoompan makes all 750 frames from the one input picture; `on` is the frame being made.
  ease='(1-cos(PI*on/749))/2'
  ffmpeg -nostdin -hide_banner -loglevel error -y -i "$photo" \
    -vf "zoompan=z='1+0.15*$ease':x='iw*(0.5+0.05*$ease)-iw/zoom/2':y='ih*(0.5+0.05*$ease)-ih/zoom/2':d=750:s=1920x1080:fps=30" \
    -c:v libx264 -preset medium -crf 20 -pix_fmt yuv420p -t 25 "$inputs/motion.tmp.mp4"
  mv "$inputs/motion.tmp.mp4" "$video"
fi

work=$(mktemp -d)
pid="" xvfb=""
stop() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; fi
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true; fi
  pid="" xvfb=""
}
trap 'stop; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM

start_x() {
  rm -f "$work/fd"; mkfifo "$work/fd"
  Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset 9>"$work/fd" 2>/dev/null &
  xvfb=$!
  local display
  read -r -t 15 display <"$work/fd"
  export DISPLAY=":$display"
}
# marvoscope RATE: the photo filled and moving at RATE frames a second, its settings and cache
# in the scratch directory. One drift lasts 30 s, about as slow as the video's 25 s, and holds
# the counted window.
marvoscope() {
  local home=$work/home
  rm -rf "$home"; mkdir -p "$home/config" "$home/cache" && mkdir -m 700 "$home/run"
  printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\nPlacement=Fill\nInterval=30\nMotion=1\nMotionRate=%s\n' \
    "$root/$photo" "$1" >"$home/config/Marvoscope 1.0 Demo.ini"
  XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/run" \
    MARVOSCOPE_MOTION_LOG="$work/drift.log" build/marvoscope /S >/dev/null 2>&1 &
  pid=$!
}
mpv_play() {  # mpv_play [OPTION...]
  mpv --no-config --hwdec=no --fs --loop --no-audio --really-quiet --title=motion-bench "$@" "$video" >/dev/null 2>&1 &
  pid=$!
}
# window: the player's full-screen top-level window, once it is shown.
window() {
  local i w
  for i in $(seq 1 150); do
    kill -0 "$pid" 2>/dev/null || return 1
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null; xdotool search --onlyvisible --name '^motion-bench$' 2>/dev/null); do
      if xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 1920x1080'; then echo "$w"; return 0; fi
    done
    sleep 0.1
  done
  return 1
}
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# busy: the whole machine's busy ticks (all processes, every core), to show what else ran.
busy() { awk '/^cpu / { print $2 + $3 + $4 + $7 + $8 + $9; exit }' /proc/stat; }
hz=$(getconf CLK_TCK)

# measure RUN: "program_ms x_ms fps worst_gap_ms gaps_over_50 watcher_ms others_ms", or dashes when the
# window never came; others_ms is the CPU of everything else on the machine meanwhile.
measure() {
  local run=$1 w p0 x0 b0 p1 x1 b1 out wc
  start_x
  rm -f "$work/drift.log"
  case $run in
    mpv) mpv_play ;;
    mpv-x11) mpv_play --vo=x11 ;;
    x11-*) marvoscope "${run#*-}" ;;
    draw-*) MARVOSCOPE_DRAW_MOTION=1 marvoscope "${run#*-}" ;;
  esac
  if ! w=$(window); then stop; echo "- - - - - - -"; return; fi
  sleep "$settle"
  p0=$(ticks "$pid") x0=$(ticks "$xvfb") b0=$(busy)
  out=$("$inputs/frame_watch" "$w" "$seconds")
  p1=$(ticks "$pid") x1=$(ticks "$xvfb") b1=$(busy)
  stop
  [ -s "$work/drift.log" ] && sed "s/^/$run: /" "$work/drift.log" >&2
  wc=$(sed -E 's/.*watcher_cpu_ms=([0-9]+).*/\1/' <<<"$out")
  echo "$(( (p1 - p0) * 1000 / hz )) $(( (x1 - x0) * 1000 / hz )) $(sed -E 's/.*fps=([0-9.]+) worst_gap_ms=([0-9]+) gaps_over_50ms=([0-9]+).*/\1 \2 \3/' <<<"$out") $wc" \
    "$(( (b1 - b0 - (p1 - p0) - (x1 - x0)) * 1000 / hz - wc ))"
}

# Which video output mpv takes by itself here, from a few frames of its own.
start_x
timeout 20 mpv --no-config --hwdec=no --fs --no-audio --frames=5 --msg-level=all=no,cplayer=info "$video" \
  >"$work/probe.txt" 2>&1 || true
stop
default_vo=$(sed -nE 's/.*VO: \[([^]]+)\].*/\1/p' "$work/probe.txt" | head -n1)

echo "photo 4000x2250 filled on 1920x1080 with motion; video 1920x1080 30 fps H.264; after ${settle} s, ${seconds} s each"
echo "mpv's default video output here: ${default_vo:-unknown}"
declare -A total=() gap=()
watcher="" rows=()
for run in $runs; do
  # In this shell, not a subshell, so that the exit trap knows what to stop.
  measure "$run" >"$work/result.txt" 2>"$work/notes.txt"
  cat "$work/notes.txt" >&2
  read -r p x f g n wc o <"$work/result.txt"
  case $run in
    mpv) peer=mpv route="default (${default_vo:-?})" asked=30 ;;
    mpv-x11) peer=mpv route="--vo=x11" asked=30 ;;
    x11-*) peer=marvoscope route="X11 (display scales)" asked=${run#*-} ;;
    draw-*) peer=marvoscope route="own drawing" asked=${run#*-} ;;
  esac
  if [ "$p" = - ]; then
    rows+=("$run|$(printf '%-11s %-22s %4s %s' "$peer" "$route" "$asked" "no full-screen window appeared")|")
    continue
  fi
  total[$run]=$((p + x)) gap[$run]=$g
  watcher="$watcher $wc"
  line=$(printf '%-11s %-22s %4s %7s ms %7s ms %7s ms %8s %7s ms %6s' "$peer" "$route" "$asked" "$p" "$x" "$((p + x))" "$f" "$g" "$n")
  rows+=("$run|$line|$o")
done
# The ratio is to the cheaper of the two mpv runs, known only once both have run.
base=""
for r in mpv mpv-x11; do
  [ -n "${total[$r]:-}" ] && { [ -z "$base" ] || [ "${total[$r]}" -lt "$base" ]; } && base=${total[$r]} base_run=$r
done
printf '%-11s %-22s %4s %10s %10s %10s %8s %10s %6s %8s %10s\n' peer route fps "program" "X server" total "frames/s" "worst gap" ">50ms" ratio others
for row in "${rows[@]}"; do
  IFS='|' read -r run line o <<<"$row"
  ratio=""
  [ -n "$base" ] && [ "$base" -gt 0 ] && [ -n "${total[$run]:-}" ] && ratio=$(awk -v a="${total[$run]}" -v b="$base" 'BEGIN { printf "%.2f", a / b }')
  if [ -n "$o" ]; then printf '%s %8s %7s ms\n' "$line" "$ratio" "$o"; else echo "$line"; fi
done
[ -n "$base" ] && echo "ratio: program plus X server over mpv's $base_run (the cheaper mpv, $base ms)"
echo "the frame watcher's own CPU per run (not counted above):${watcher} ms"
echo ">50ms: how many gaps between frames were longer than 50 ms"
echo "others: the CPU of everything else on the machine ($(nproc) cores) during the counted seconds"
for r in x11-30 draw-30; do
  [ -n "${total[$r]:-}" ] && [ -n "$base" ] && awk -v a="${total[$r]}" -v b="$base" -v g="${gap[$r]}" -v r="$r" \
    'BEGIN { printf "%s at 30 fps: %.2f of mpv (at most 0.50: %s), worst gap %d ms (at most 50: %s)\n", r, a / b, a <= b / 2 ? "yes" : "no", g, g <= 50 ? "yes" : "no" }'
done
exit 0
