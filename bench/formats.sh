#!/usr/bin/env bash
# Today's picture types on the Linux build, one run on a 1920x1080 Xvfb:
# - a 12-megapixel photo (4608x2592, the screen's shape, so that no bar stays black) as HEIC, AVIF, JPEG XL and WebP: Marvoscope's first paint and
#   peak memory against feh's on the same file (feh reads them through imlib2's loaders), and
#   against the same photo as a JPEG in Marvoscope;
# - an animation of 30 frames at 25 fps, 1920x1080 (every frame decoded anew each round) and
#   512x512 (a sticker, whose whole loop stays composed), as an animated WebP and as an APNG:
#   Marvoscope's CPU over 10 s against the same animation as a GIF.
#   bash bench/formats.sh [--seconds N]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
seconds=10
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=$2; shift 2 ;;
    *) echo "usage: bash bench/formats.sh [--seconds N]" >&2; exit 2 ;;
  esac
done
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "bad --seconds: $seconds" >&2; exit 2; }

bash scripts/install-deps.sh feh >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null

inputs=build/bench-inputs/formats
mkdir -p "$inputs"
cc -O1 -o "$inputs/first_paint" bench/first_paint.c -lX11
photo=$inputs/photo.png
if [ ! -s "$photo" ]; then
  /usr/bin/convert -seed 7 -size 4608x2592 plasma:fractal -blur 0x1 "$photo"
  /usr/bin/convert "$photo" -quality 85 "$inputs/photo.jpg"
  heif-enc -q 80 "$photo" -o "$inputs/photo.heic" >/dev/null
  avifenc --min 20 --max 30 "$photo" "$inputs/photo.avif" >/dev/null
  cjxl -q 85 "$photo" "$inputs/photo.jxl" >/dev/null 2>&1
  cwebp -quiet -q 85 "$photo" -o "$inputs/photo.webp"
fi
# clip NAME WxH: 30 frames of 40 ms, a moving test card that differs all over from frame to frame
# as a clip's frames do, as $inputs/NAME.gif, .webp (gif2webp) and .png (apngasm).
clip() {
  local dir=$inputs/$1 w=${2%x*} h=${2#*x} i
  if [ ! -s "$dir.gif" ]; then
    mkdir -p "$dir"
    for i in $(seq -w 0 29); do
      /usr/bin/convert -size "$2" "radial-gradient:hsl($((10#$i * 12)),80%,50%)-navy" -fill white \
        -draw "circle $((w / 10 + 10#$i * w / 40)),$((h / 2)) $((w / 10 + 10#$i * w / 40 + w / 30)),$((h / 2))" \
        "PNG24:$dir/f$i.png"
      echo "delay=4/100" >"$dir/f$i.txt"
    done
    /usr/bin/convert -delay 4 "$dir"/f*.png -loop 0 "$dir.gif"
  fi
  [ -s "$dir.webp" ] || gif2webp -quiet -lossy "$dir.gif" -o "$dir.webp"
  [ -s "$dir.png" ] || (cd "$dir" && apngasm "../$1.tmp.png" f*.png -z0 >/dev/null && mv "../$1.tmp.png" "../$1.png")
}
clip anim 1920x1080
# A sticker, whose whole loop fits the cache once composed.
clip sticker 512x512

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# session PICTURE: a settings store showing PICTURE whole, in $scratch/config.
session() {
  mkdir -p "$scratch/config"
  printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\nPlacement=Fit\n' "$root/$1" \
    >"$scratch/config/Marvoscope 1.0 Demo.ini"
}
xvfb() {
  local fifo="$scratch/fd"; rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset 9>"$fifo" 2>/dev/null &
  xvfb_pid=$!
  read -r -t 15 display <"$fifo"
  export DISPLAY=":$display"
}
launch() {  # launch PLAYER PICTURE: starts it, sets $pid
  local run="$scratch/run"; rm -rf "$run"; mkdir -m 700 "$run"
  case $1 in
    marvoscope) session "$2"
                XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$run" build/marvoscope /S >/dev/null 2>&1 & ;;
    feh) feh -F -Z "$2" >/dev/null 2>&1 & ;;
  esac
  pid=$!
}
stop() {
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null || true
}
# first PLAYER PICTURE: "first_ms peak_MB"
first() {
  xvfb
  local start f peak
  start=$(date +%s%3N)
  launch "$1" "$2"
  f=$("$inputs/first_paint" "$start" 60 photo || echo -)
  sleep 0.5
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  stop
  echo "$f $((${peak:-0} / 1024))"
}
# cpu PICTURE: CPU ms over $seconds after 3 s of start-up
cpu() {
  xvfb
  launch marvoscope "$1"
  sleep 3
  local a b
  a=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  sleep "$seconds"
  b=$(awk '{ print $14 + $15 }' "/proc/$pid/stat")
  stop
  echo $(( (b - a) * 1000 / $(getconf CLK_TCK) ))
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 > 0 && a + 0 == a) printf "(%.2f)", a / b }'; }

read -r jf jp < <(first marvoscope "$inputs/photo.jpg")
echo "12-megapixel photo (4608x2592) on 1920x1080, one run; ratios to feh on the same file and to Marvoscope's JPEG"
printf '%-8s %-11s %18s %18s %10s\n' type player "first paint" "peak memory" "vs JPEG"
printf '%-8s %-11s %7s ms %-9s %6s MB %-9s\n' jpeg marvoscope "$jf" "" "$jp" ""
for kind in heic avif jxl webp; do
  read -r mf mp < <(first marvoscope "$inputs/photo.$kind")
  read -r ff fp < <(first feh "$inputs/photo.$kind")
  note=""
  [ "$ff" = "-" ] && note="feh showed nothing: imlib2 has no loader that reads it"
  printf '%-8s %-11s %7s ms %-9s %6s MB %-9s %s %s\n' "$kind" marvoscope "$mf" "$(ratio "$mf" "$ff")" "$mp" "$(ratio "$mp" "$fp")" \
    "$(ratio "$mf" "$jf")" "$(ratio "$mp" "$jp")"
  printf '%-8s %-11s %7s ms %-9s %6s MB %-9s %s\n' "$kind" feh "$ff" "" "$fp" "" "$note"
done

for clip in anim:1920x1080 sticker:512x512; do
  echo
  echo "${clip#*:} animation, 30 frames at 25 fps, shown whole, CPU over $seconds s; ratio to the GIF"
  g=$(cpu "$inputs/${clip%:*}.gif")
  printf '%-14s %7s ms\n' gif "$g"
  for kind in webp png; do
    c=$(cpu "$inputs/${clip%:*}.$kind")
    printf '%-14s %7s ms %s\n' "animated $kind" "$c" "$(ratio "$c" "$g")"
  done
done
