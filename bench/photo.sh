#!/usr/bin/env bash
# A big photo (6400x3600 JPEG) shown by Marvoscope (/S), by feh (-F -Z) and by mpv, each alone in a
# fresh Xvfb at 1920x1080 and 3840x2160, and by Marvoscope.scr under Wine: the first paint of the
# photo after the process starts and the viewer's peak memory, the median of a few tries, with
# ratios to feh (below 1: Marvoscope is faster or smaller) and Wine's ratio to the Linux build.
# The rows "start" and "wine-start" show a 640x360 photo instead: what starting the program
# costs on each before the big photo adds its part.
#   bash bench/photo.sh [--tries N] [--sizes WxH,WxH] [--players marvoscope,wine,feh,mpv,start,wine-start]
#                       [--before REV]
# --before REV adds the Linux program as built from the commit REV (in build/before).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tries=3 sizes="1920x1080 3840x2160" players="marvoscope wine feh mpv start wine-start" before=""
while [ $# -gt 0 ]; do
  case $1 in
    --tries) tries=$2; shift 2 ;;
    --sizes) sizes=${2//,/ }; shift 2 ;;
    --players) players=${2//,/ }; shift 2 ;;
    --before) before=$2; shift 2 ;;
    *) echo "usage: bash bench/photo.sh [--tries N] [--sizes WxH,WxH] [--players a,b] [--before REV]" >&2; exit 2 ;;
  esac
done
[[ $tries =~ ^[1-9][0-9]*$ ]] || { echo "bad --tries: $tries" >&2; exit 2; }
for size in $sizes; do [[ $size =~ ^[0-9]+x[0-9]+$ ]] || { echo "bad size: $size" >&2; exit 2; }; done

bash scripts/install-deps.sh feh mpv >/dev/null
wine=""
[[ " $players " == *" wine"* ]] && wine=1
[ -n "$wine" ] && bash scripts/install-deps-windows.sh >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
if [ -n "$wine" ]; then
  cmake --toolchain cmake/mingw-w64.cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-win -j2 --target marvoscope_scr >/dev/null
fi
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
# Plasma is a photo's spectrum: large soft shapes with finer detail the smaller it gets.
photo=$inputs/photo-6400x3600.jpg
[ -s "$photo" ] || /usr/bin/convert -seed 7 -size 6400x3600 plasma:fractal -blur 0x1 -quality 85 "$photo"
small=$inputs/photo-640x360.jpg
[ -s "$small" ] || /usr/bin/convert "$photo" -resize 640x360 -quality 85 "$small"

scratch=$(mktemp -d)
cleanup() {
  [ -n "$wine" ] && WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
for name in photo small; do
  mkdir -p "$scratch/config-$name" && printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\n' "$root/${!name}" \
    >"$scratch/config-$name/Marvoscope 1.0 Demo.ini"
done

if [ -n "$wine" ]; then
  export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  bash tests/win32/prepare-prefix.sh
  key='HKCU\Software\VB and VBA Program Settings\Marvoscope 1.0 Demo\Settings'
  winePicture() { wine reg add "$key" /v AniFile /t REG_SZ /d "$(winepath -w "$root/$1" | tr -d '\r')" /f >/dev/null 2>&1; }
  winePicture "$photo"
  wine reg add "$key" /v Mousesens /t REG_SZ /d 30 /f >/dev/null 2>&1
fi

# measure PLAYER SIZE: prints "first_ms peak_MB"
measure() {
  local player=$1 size=$2 fifo display xvfb pid start first peak run
  fifo="$scratch/fd"; rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset 9>"$fifo" 2>/dev/null &
  xvfb=$!
  read -r -t 15 display <"$fifo"
  export DISPLAY=":$display"
  run=$(mktemp -d) && chmod 700 "$run"
  case $player in wine) winePicture "$photo" ;; wine-start) winePicture "$small" ;; esac
  if [[ $player == wine* ]]; then
    # A Wine session on this display with its services up, as the Windows desktop a screen
    # saver starts into; Wine's desktop process keeps the display it was started on.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    wineserver -p || true
    wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  fi
  start=$(date +%s%3N)
  case $player in
    marvoscope) XDG_CONFIG_HOME="$scratch/config-photo" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$run" build/marvoscope /S >/dev/null 2>&1 & ;;
    start) XDG_CONFIG_HOME="$scratch/config-small" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$run" build/marvoscope /S >/dev/null 2>&1 & ;;
    before) XDG_CONFIG_HOME="$scratch/config-photo" XDG_RUNTIME_DIR="$run" XDG_CACHE_HOME="$run" \
              build/before/build/marvoscope /S >/dev/null 2>&1 & ;;
    wine|wine-start) wine build-win/Marvoscope.scr /S >/dev/null 2>&1 & ;;
    feh) feh -F -Z "$photo" >/dev/null 2>&1 & ;;
    mpv) mpv --no-config --fs --vo=x11 --hwdec=no --image-display-duration=inf --really-quiet "$photo" >/dev/null 2>&1 & ;;
  esac
  pid=$!
  first=$("$inputs/first_paint" "$start" 60 photo || true)
  sleep 0.5  # anything the viewer does right after its first paint counts to its peak
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
  kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null || true
  rm -rf "$run"
  echo "$first $((${peak:-0} / 1024))"
}

median() { tr ' ' '\n' | grep -v '^$' | sort -n | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "-" }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b + 0 > 0 && a + 0 == a) printf "(%.2f)", a / b }'; }

# Wine's first start in a prefix loads and caches its libraries: not counted.
[ -n "$wine" ] && measure wine 1280x720 >/dev/null

echo "photo $(identify -format '%wx%h, %b' "$photo" 2>/dev/null), median of $tries tries; ratios to feh, Wine's also to the Linux build"
printf '%-10s %-11s %16s %16s\n' screen player "first paint" "peak memory"
for size in $sizes; do
  declare -A firsts=() peaks=()
  for try in $(seq "$tries"); do
    for player in $players; do
      read -r f p < <(measure "$player" "$size")
      firsts[$player]="${firsts[$player]:-} $f" peaks[$player]="${peaks[$player]:-} $p"
    done
  done
  declare -A f=() p=()
  for player in $players; do
    f[$player]=$(echo "${firsts[$player]}" | median); p[$player]=$(echo "${peaks[$player]}" | median)
  done
  for player in $players; do
    extra=""
    [ "$player" = wine ] && [ -n "${f[marvoscope]:-}" ] && extra="Linux $(ratio "${f[wine]}" "${f[marvoscope]}")"
    [ "$player" = wine-start ] && [ -n "${f[start]:-}" ] && extra="Linux $(ratio "${f[wine-start]}" "${f[start]}")"
    printf '%-10s %-11s %7s ms %-7s %6s MB %-7s %s\n' "$size" "$player" "${f[$player]}" "$(ratio "${f[$player]}" "${f[feh]:-}")" \
      "${p[$player]}" "$(ratio "${p[$player]}" "${p[feh]:-}")" "$extra"
  done
  unset firsts peaks f p
done
