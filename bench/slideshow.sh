#!/usr/bin/env bash
# A folder slideshow in Marvoscope beside mpv showing the same folder as an image slideshow
# (mpv --image-display-duration=2 DIR), each alone in a fresh Xvfb (1920x1080), in one run.
# The folder holds PHOTOS photos of 4000x3000 (JPEG, 200 unless set) and GIFS animated GIFs of
# mixed sizes (20 unless set; see UNIQUE below); each player shows it for BENCH_SECONDS seconds (60 unless set), each
# picture 2 s, Marvoscope with its one-second fades. Prints per player:
#   - the longest freeze at a change: the longest time the screen's centre, watched every few
#     ms, stood still in the middle of a change (between the first and last step of a fade; a
#     cut has no middle, so mpv gets none);
#   - CPU between changes: the player's CPU over the 100 ms slots at least 300 ms away from any
#     change of the centre's colour (a still on screen, no fade, no animation);
#   - CPU during fades: over the slots inside a change that lasted 0.8 to 1.3 s;
#   - CPU over the whole run and the peak resident memory;
# with ratios to Marvoscope (above 1: the other uses more). The row "gif30" is Marvoscope showing
# one 1920x1080 GIF at 30 frames a second, what a fade should cost no more than; the row "hd" is
# Marvoscope showing the same folder with its photos at 1920x1080, and the last line the ratio of
# the two peaks (decoded at the screen's size, the 4000x3000 photos should cost at most 1.2 times).
# The row "dressed" is Marvoscope showing the folder with a caption (date, place, folder), the
# clock and the blurred bars: what they add, against the row "marvoscope" without them.
#   PHOTOS=40 GIFS=10 BENCH_SECONDS=40 bash bench/slideshow.sh [--players marvoscope,hd,mpv,gif30,dressed]
# Inputs are kept in build/bench-slides.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
photos=${PHOTOS:-200} gifs=${GIFS:-20} run_s=${BENCH_SECONDS:-60} players="marvoscope hd mpv gif30"
while [ $# -gt 0 ]; do
  case $1 in
    --players) players=${2//,/ }; shift 2 ;;
    *) echo "usage: PHOTOS=N GIFS=N BENCH_SECONDS=N bash bench/slideshow.sh [--players marvoscope,hd,mpv,gif30,dressed]" >&2; exit 2 ;;
  esac
done
bash scripts/install-deps.sh mpv >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
inputs=build/bench-slides
dir="$inputs/folder-$photos-$gifs"
mkdir -p "$dir"
cc -O1 -o "$inputs/colour_watch" tests/e2e/colour_watch.c -lX11

# Photos: noisy vertical gradients between two colours of their own, so each has its own
# centre and decodes like a photo. Making one takes seconds, so UNIQUE of them (40 unless set)
# are made and the rest are copies under names of their own.
unique=${UNIQUE:-40}
# make_photos DIR WxH: the folder's photos at that size.
make_photos() {
  local i f a b
  mkdir -p "$1"
  for i in $(seq 1 "$photos"); do
    f=$(printf '%s/photo%03d.jpg' "$1" "$i")
    [ -s "$f" ] && continue
    if [ "$i" -gt "$unique" ]; then
      cp "$(printf '%s/photo%03d.jpg' "$1" $(( (i - 1) % unique + 1 )))" "$f"
      continue
    fi
    a=$(printf '#%02x%02x%02x' $(( (i * 67) % 200 + 30 )) $(( (i * 131) % 200 + 30 )) $(( (i * 29) % 200 + 30 )))
    b=$(printf '#%02x%02x%02x' $(( (i * 41) % 200 + 30 )) $(( (i * 97) % 200 + 30 )) $(( (i * 173) % 200 + 30 )))
    /usr/bin/convert -size "$2" "gradient:$a-$b" -attenuate 0.3 +noise Uniform -quality 90 "$f"
  done
}
make_photos "$dir" 4000x3000
# GIFs: eight frames of 40 ms each, from 160x120 up to 1920x1080.
sizes=(160x120 320x240 480x360 640x480 800x600 1024x768 1280x720 1600x900 1920x1080 400x400)
for i in $(seq 1 "$gifs"); do
  f=$(printf '%s/anim%02d.gif' "$dir" "$i")
  [ -s "$f" ] && continue
  /usr/bin/convert -delay 4 -size "${sizes[$(( (i - 1) % ${#sizes[@]} ))]}" xc:red xc:orange xc:yellow xc:green \
    xc:cyan xc:blue xc:purple xc:white -loop 0 "$f"
done
# The same folder with its photos at the screen's size, for the row "hd": decoded for the screen,
# the large photos should cost no more memory than these.
hddir="$inputs/folder-hd-$photos-$gifs"
if [[ " $players " == *" hd "* ]]; then
  make_photos "$hddir" 1920x1080
  for g in "$dir"/anim*.gif; do [ -e "$hddir/${g##*/}" ] || cp "$g" "$hddir/"; done
fi

# One 1920x1080 animation of 30 frames a second (33 hundredths make 3; 3 x 10 ms each).
[ -s "$inputs/gif30.gif" ] || /usr/bin/convert -delay 3 -size 1920x1080 gradient:red-blue gradient:blue-green \
  gradient:green-red gradient:red-yellow gradient:yellow-blue gradient:blue-red -loop 0 "$inputs/gif30.gif"

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)

# measure PLAYER: prints "freeze_ms cpu_between% cpu_fade% cpu_all% peak_MB changes"
measure() {
  local player=$1 scratch fifo display xvfb pid run peak
  scratch=$(mktemp -d)
  fifo="$scratch/fd"; mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset 9>"$fifo" 2>/dev/null &
  xvfb=$!
  read -r -t 15 display <"$fifo"
  export DISPLAY=":$display"
  run=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
  mkdir -p "$scratch/config" && chmod 700 "$run"
  local shown="$root/$dir"
  [ "$player" = gif30 ] && shown="$root/$inputs/gif30.gif"
  [ "$player" = hd ] && shown="$root/$hddir"
  printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\nInterval=2\nShuffle=1\nFade=1\n' "$shown" \
    >"$scratch/config/Marvoscope 1.0 Demo.ini"
  [ "$player" = dressed ] && printf 'Caption=date,place,folder\nClock=1\nPlacement=Blur\n' \
    >>"$scratch/config/Marvoscope 1.0 Demo.ini"
  case $player in
    marvoscope|hd|gif30|dressed) XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$scratch" \
                  build/marvoscope /S >/dev/null 2>&1 & ;;
    mpv) mpv --no-config --fs --vo=x11 --hwdec=no --no-audio --really-quiet --image-display-duration=2 \
           --loop-playlist=inf --shuffle "$dir" >/dev/null 2>&1 & ;;
  esac
  pid=$!
  sleep 3  # start-up and the first picture before anything is counted
  local start; start=$(date +%s%3N)
  ( while kill -0 "$pid" 2>/dev/null; do echo "$(( $(date +%s%3N) - start )) $(ticks "$pid")"; sleep 0.1; done ) \
    >"$scratch/cpu.txt" 2>/dev/null &
  local sampler=$!
  "$inputs/colour_watch" 960 540 "$run_s" >"$scratch/watch.txt"
  kill "$sampler" 2>/dev/null; wait "$sampler" 2>/dev/null || true
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status")
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true
  /usr/bin/python3 - "$scratch/watch.txt" "$scratch/cpu.txt" "$hz" "$peak" "$player" <<'PY'
import sys
watch = [(int(l.split()[0]), l.split()[1]) for l in open(sys.argv[1]) if l.strip()]
cpu = [tuple(map(int, l.split())) for l in open(sys.argv[2]) if len(l.split()) == 2]
hz, peak_kb, player = int(sys.argv[3]), int(sys.argv[4]), sys.argv[5]
times = [t for t, _ in watch]
# A change: colour lines closer than 400 ms to each other; its steps are the lines in it.
changes, cur = [], []
for t in times:
    if cur and t - cur[-1] >= 400:
        changes.append(cur); cur = []
    cur.append(t)
if cur: changes.append(cur)
fades = [c for c in changes if 800 <= c[-1] - c[0] <= 1300]
freeze = max((b - a for c in fades for a, b in zip(c, c[1:])), default=None)
def near_change(t0, t1, margin):
    return any(t0 - margin <= t <= t1 + margin for t in times)
def in_fade(t0, t1):
    return any(c[0] <= t0 and t1 <= c[-1] for c in fades)
between, during = [], []
for (t0, c0), (t1, c1) in zip(cpu, cpu[1:]):
    if t1 <= t0: continue
    share = 100.0 * (c1 - c0) / hz / ((t1 - t0) / 1000.0)
    if not near_change(t0, t1, 300): between.append(share)
    elif in_fade(t0, t1): during.append(share)
avg = lambda v: sum(v) / len(v) if v else float('nan')
total = 100.0 * (cpu[-1][1] - cpu[0][1]) / hz / ((cpu[-1][0] - cpu[0][0]) / 1000.0) if len(cpu) > 1 else float('nan')
print("%s %.2f %.1f %.1f %.0f %d" % ("-" if freeze is None else str(freeze), avg(between), avg(during), total,
                                   peak_kb / 1024.0, len(changes)))
PY
  rm -rf "$scratch" "$run"
}

echo "folder: $photos photos of 4000x3000 (hd: 1920x1080), $gifs GIFs; screen 1920x1080; ${run_s} s each, 2 s a picture"
printf '%-11s %18s %16s %16s %14s %14s %8s\n' player "longest freeze" "CPU between" "CPU in fades" "CPU all" "peak memory" changes
declare -A ours=()
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 > 0 && a + 0 == a) printf "(%.2f)", a / b; else printf "" }'; }
for player in $players; do
  read -r freeze between fade all peak changes < <(measure "$player")
  if [ "$player" = marvoscope ]; then ours=([between]=$between [fade]=$fade [all]=$all [peak]=$peak); fi
  [ "$player" = hd ] && hdpeak=$peak
  printf '%-11s %11s ms    %6s %% %-7s %6s %% %-7s %6s %% %-6s %6s MB %-6s %5s\n' "$player" "$freeze" \
    "$between" "$(ratio "$between" "${ours[between]:-}")" "$fade" "$(ratio "$fade" "${ours[fade]:-}")" \
    "$all" "$(ratio "$all" "${ours[all]:-}")" "$peak" "$(ratio "$peak" "${ours[peak]:-}")" "$changes"
done
if [ -n "${ours[peak]:-}" ] && [ -n "${hdpeak:-}" ]; then
  awk -v a="${ours[peak]}" -v b="$hdpeak" 'BEGIN { printf "peak memory, 4000x3000 photos / 1920x1080 photos: %.0f / %.0f MB = %.2f (at most 1.2: %s)\n", a, b, a / b, (a <= 1.2 * b) ? "yes" : "no" }'
fi
