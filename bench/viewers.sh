#!/usr/bin/env bash
# Big animated GIFs in Marvoscope beside gifview (natural size) and mpv (stretched), each alone
# in a fresh Xvfb (1920x1080 unless --size says otherwise): the first frame on screen after the
# process starts, the CPU of the player and of the X server over 10 s of playing after 2 s of
# warm-up, the player's CPU over the whole run from its start (start-up and any decoding done
# ahead included), and its peak memory. Prints one table with ratios to Marvoscope (above 1:
# the other uses more).
#   bash bench/viewers.sh [ABCDE] [--size WxH] [--players marvoscope,gifview,mpv] [--before REV]
#                         [--placement fit,fill]
# --before REV adds the program as built from the commit REV (in build/before), for a table of
# before and after from one run. --placement adds the program with each of those placements
# stored, against its stretched show (the row "marvoscope") as the reference.
# Inputs (kept in build/bench-inputs): A is 1280x720, 100 frames at 10 fps of dithered noise,
# full frames; B the same for 675 frames; C is ffmpeg's own optimised GIF of 675 frames of the
# test pattern (partial frames, 24 MB). D and E ask whether memory stays flat over a long
# animation: ffmpeg's 320x180 test pattern at 50 fps, 700 frames and 20,000 frames.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
which=ABC size=1920x1080 players="marvoscope gifview mpv" before="" placements=""
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --players) players=${2//,/ }; shift 2 ;;
    --before) before=$2; shift 2 ;;
    --placement) placements=${2//,/ }; shift 2 ;;
    [ABCDE]*) which=$1; shift ;;
    *) echo "usage: bash bench/viewers.sh [ABCDE] [--size WxH] [--players a,b] [--before REV] [--placement fit,fill]" >&2
       exit 2 ;;
  esac
done
[[ $size =~ ^[0-9]+x[0-9]+$ ]] || { echo "bad --size: $size" >&2; exit 2; }
for placement in $placements; do
  [[ $placement =~ ^(stretch|fit|fill)$ ]] || { echo "bad --placement: $placement" >&2; exit 2; }
done
[ -z "$placements" ] || players="marvoscope $placements ${players/marvoscope/}"
bash scripts/install-deps.sh ffmpeg mpv >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
if [ -n "$before" ]; then
  rm -rf build/before && mkdir -p build/before/src
  git archive "$before" | tar -x -C build/before/src
  cmake -S build/before/src -B build/before/build -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/before/build -j2 --target marvoscope >/dev/null
  players="marvoscope before ${players/marvoscope/}"
fi
inputs=build/bench-inputs
mkdir -p "$inputs"
cc -O1 -o "$inputs/first_paint" bench/first_paint.c -lX11

make_input() {  # make_input NAME SECONDS
  [ -s "$inputs/$1.gif" ] && return
  local src="testsrc2=size=1280x720:rate=10:duration=$2,noise=alls=4:allf=t"
  ffmpeg -loglevel error -y -f lavfi -i "$src" -vf palettegen=max_colors=256:stats_mode=full -update 1 -frames:v 1 \
    "$inputs/$1-pal.png"
  ffmpeg -loglevel error -y -f lavfi -i "$src" -i "$inputs/$1-pal.png" \
    -lavfi "[0:v][1:v]paletteuse=dither=sierra2_4a" -gifflags -offsetting-transdiff -loop 0 "$inputs/$1.gif"
}
[[ $which == *A* ]] && make_input A 10
[[ $which == *B* ]] && make_input B 67.5
if [[ $which == *C* ]] && [ ! -s "$inputs/C.gif" ]; then
  ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=1280x720:rate=10 -t 67.5 "$inputs/C.gif"
fi
if [[ $which == *D* ]] && [ ! -s "$inputs/D.gif" ]; then
  ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=320x180:rate=50 -frames:v 700 "$inputs/D.gif"
fi
if [[ $which == *E* ]] && [ ! -s "$inputs/E.gif" ]; then
  ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=320x180:rate=50 -frames:v 20000 "$inputs/E.gif"
fi

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# measure PLAYER FILE: prints "first_ms cpu_player% cpu_x% peak_MB"
measure() {
  local player=$1 file=$2 scratch fifo display xvfb pid start first t0 x0 t1 x1 peak
  scratch=$(mktemp -d)
  fifo="$scratch/fd"; mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset 9>"$fifo" 2>/dev/null &
  xvfb=$!
  read -r -t 15 display <"$fifo"
  export DISPLAY=":$display"
  # The frame file goes to the runtime folder, which a desktop session keeps in memory.
  run=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
  mkdir -p "$scratch/config" && chmod 700 "$run"
  printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\nPlacement=%s\n' "$root/$file" \
    "$( [[ $player =~ ^(stretch|fit|fill)$ ]] && echo "$player" || echo Stretch)" >"$scratch/config/Marvoscope 1.0 Demo.ini"
  start=$(date +%s%3N)
  case $player in
    marvoscope|stretch|fit|fill) XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$scratch" \
                  build/marvoscope /S >/dev/null 2>&1 & ;;
    before) XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$scratch" \
                  build/before/build/marvoscope /S >/dev/null 2>&1 & ;;
    gifview) gifview -a "$file" >/dev/null 2>&1 & ;;
    mpv) mpv --no-config --fs --loop-file=inf --vo=x11 --hwdec=no --no-audio --really-quiet "$file" >/dev/null 2>&1 & ;;
  esac
  pid=$!
  first=$("$inputs/first_paint" "$start" 60 || true)
  sleep 2  # warm-up before the CPU is counted
  t0=$(ticks "$pid"); x0=$(ticks "$xvfb")
  sleep 10
  t1=$(ticks "$pid"); x1=$(ticks "$xvfb")
  all=$(awk -v t="$t1" -v hz="$hz" -v ms=$(($(date +%s%3N) - start)) 'BEGIN { printf "%.1f", 100 * t / hz / (ms / 1000) }')
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true
  rm -rf "$scratch" "$run"
  awk -v f="$first" -v t=$((t1 - t0)) -v x=$((x1 - x0)) -v hz="$hz" -v p="$peak" -v all="$all" \
    'BEGIN { printf "%s %.1f %.1f %.0f %s\n", f, 100 * t / hz / 10, 100 * x / hz / 10, p / 1024, all }'
}

echo "screen $size"
printf '%-6s %-11s %14s %12s %12s %12s %14s\n' input player "first frame" "CPU player" "CPU X" "peak memory" "CPU from start"
for input in A B C D E; do
  [[ $which == *$input* ]] || continue
  declare -A ours=()
  for player in $players; do
    read -r first cpu cpux peak all < <(measure "$player" "$inputs/$input.gif")
    if [ "$player" = marvoscope ]; then ours=([first]=$first [cpu]=$cpu [x]=$cpux [peak]=$peak [all]=$all); fi
    ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 > 0 && a + 0 == a) printf "(%.2f)", a / b; else printf "" }'; }
    printf '%-6s %-11s %8s ms %-5s %6s %% %-5s %6s %% %-5s %6s MB %-5s %6s %% %-5s\n' "$input" "$player" \
      "$first" "$(ratio "$first" "${ours[first]:-}")" "$cpu" "$(ratio "$cpu" "${ours[cpu]:-}")" \
      "$cpux" "$(ratio "$cpux" "${ours[x]:-}")" "$peak" "$(ratio "$peak" "${ours[peak]:-}")" \
      "$all" "$(ratio "$all" "${ours[all]:-}")"
  done
done
