#!/usr/bin/env bash
# How often a show of one still wakes up between changes: over SECONDS (65 unless set) of a
# 1920x1080 photo on a fresh Xvfb, plain and with a caption and the clock (which should add one
# wake-up a minute, at its turn), in one run. A wake-up is a tenth of a second in which any of
# Marvoscope's threads was switched in (its voluntary context switches rose: one paint of the
# clock wakes several threads at once). Prints the wake-ups, the switches and the CPU time.
# Then the CPU of a 1920x1080 GIF of 30 frames a second over 15 s, plain and with a caption and
# the clock drawn over every frame, and their ratio.
#   SECONDS_SHOWN=65 bash bench/captions.sh
set -euo pipefail
cd "$(dirname "$0")/.."
shown_s=${SECONDS_SHOWN:-65}
cmake --build build -j2 --target marvoscope >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/convert -size 1600x1200 gradient:'#2f5f8f-#c8a060' -quality 92 "$work/photo.jpg"
switches() {
  local n=0 f v
  for f in /proc/"$1"/task/*/status; do v=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$f" 2>/dev/null || echo 0); n=$((n + ${v:-0})); done
  echo "$n"
}
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# measure EXTRA [PICTURE] [SECONDS]: prints "wake_ups switches cpu_ms" over the window, after 3 s of start-up.
measure() {
  local fifo="$work/fd" display xvfb pid s0 s1 t0 t1
  rm -f "$fifo"; mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 1920x1080x24 -nolisten tcp -noreset 9>"$fifo" 2>/dev/null &
  xvfb=$!
  read -r -t 15 display <"$fifo"
  mkdir -p "$work/config" "$work/run" && chmod 700 "$work/run"
  printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\nPlacement=Fit\n%b' "${2:-$work/photo.jpg}" "$1" \
    >"$work/config/Marvoscope 1.0 Demo.ini"
  DISPLAY=":$display" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" XDG_CACHE_HOME="$work" \
    build/marvoscope /S >/dev/null 2>&1 &
  pid=$!
  sleep 3
  s0=$(switches "$pid"); t0=$(ticks "$pid")
  local wakes=0 last=$s0 now end=$(( $(date +%s) + ${3:-$shown_s} ))
  while [ "$(date +%s)" -lt "$end" ]; do
    sleep 0.1
    # Counting wake-ups costs CPU of its own: an animation's run only measures its time.
    [ -n "${3:-}" ] && continue
    now=$(switches "$pid")
    [ "$now" -ne "$last" ] && wakes=$((wakes + 1))
    last=$now
  done
  s1=$(switches "$pid"); t1=$(ticks "$pid")
  kill "$pid" "$xvfb" 2>/dev/null; wait "$pid" "$xvfb" 2>/dev/null || true
  echo "$wakes $((s1 - s0)) $(( (t1 - t0) * 1000 / $(getconf CLK_TCK) ))"
}
read -r plain_w plain_s plain_cpu < <(measure "")
read -r dressed_w dressed_s dressed_cpu < <(measure 'Caption=date,place,folder\nClock=1\n')
echo "one still, ${shown_s} s on screen (1920x1080):"
printf '  %-20s %4s wake-ups %5s switches %5s ms CPU\n' "plain" "$plain_w" "$plain_s" "$plain_cpu" \
  "caption and clock" "$dressed_w" "$dressed_s" "$dressed_cpu"
awk -v a="$dressed_w" -v b="$plain_w" -v s="$shown_s" 'BEGIN { printf "  extra wake-ups: %d over %d s (%.2f a minute)\n", a - b, s, (a - b) * 60 / s }'
/usr/bin/convert -delay 3 -size 1920x1080 gradient:red-blue gradient:blue-green gradient:green-red \
  gradient:red-yellow gradient:yellow-blue gradient:blue-red -loop 0 "$work/gif30.gif"
read -r _ _ plain_gif < <(measure "" "$work/gif30.gif" 15)
read -r _ _ dressed_gif < <(measure 'Caption=date,place,folder,name\nClock=1\n' "$work/gif30.gif" 15)
awk -v a="$plain_gif" -v b="$dressed_gif" 'BEGIN { printf "a 1920x1080 GIF at 30 frames a second, 15 s: plain %d ms CPU, captioned %d ms (%.3f)\n", a, b, b / a }'
