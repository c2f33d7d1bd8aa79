#!/usr/bin/env bash
# How soon a key press ends a show of big frames: a 6-frame 4800x4800 GIF (0.2 s a frame) shown
# at 1280x1024 in a private Xvfb, with no limit and with the address space limited to 300 MB
# (as `ulimit -v` does). Each try starts a fresh show, presses a key at a random moment after
# the window appears (0 to 3 s) and times, by X events, the press until the window is unmapped
# (bench/key_latency.c). Prints every try's time, then the median, the slowest, and how many
# tries took over 250 ms.
#   bash bench/key_latency.sh [--tries N] [--before REV] [--seed S]
# --before REV adds the program as built from the commit REV (in build/before), pressed at the
# same moments in the same run, and the ratios of its figures to those of the current build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
tries=50 before="" seed=24
while [ $# -gt 0 ]; do
  case $1 in
    --tries) tries=$2; shift 2 ;;
    --before) before=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    *) echo "usage: bash bench/key_latency.sh [--tries N] [--before REV] [--seed S]" >&2; exit 2 ;;
  esac
done
[[ $tries =~ ^[1-9][0-9]*$ ]] || { echo "bad --tries: $tries" >&2; exit 2; }

launch=()
command -v ccache >/dev/null && launch=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launch[@]}" >/dev/null
cmake --build build -j2 --target marvoscope >/dev/null
players=(now)
declare -A program=([now]="$root/build/marvoscope")
if [ -n "$before" ]; then
  rm -rf build/before && mkdir -p build/before/src
  git archive "$before" | tar -x -C build/before/src
  cmake -S build/before/src -B build/before/build -DCMAKE_BUILD_TYPE=Release "${launch[@]}" >/dev/null
  cmake --build build/before/build -j2 --target marvoscope >/dev/null
  players+=(before)
  program[before]="$root/build/before/build/marvoscope"
fi

work=$(mktemp -d)
xvfb="" pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
cc -O1 -o "$work/key_latency" bench/key_latency.c -lX11 -ldl
/usr/bin/python3 tests/e2e/uniform_gif.py 4800 4800 6 "$work/big.gif"

mkfifo "$work/fd"
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp -noreset 9>"$work/fd" 2>/dev/null &
xvfb=$!
read -r -t 15 display <"$work/fd"
export DISPLAY=":$display"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
printf '[Settings]\nAniFile=%s\nMousesens=30\nBackColors=0\n' "$work/big.gif" >"$XDG_CONFIG_HOME/Marvoscope 1.0 Demo.ini"

# The same random moments for every program and limit.
RANDOM=$seed
moments=()
for ((i = 0; i < tries; i++)); do moments+=($(( (RANDOM * 32768 + RANDOM) % 3001 ))); done

# one PROGRAM LIMIT_MB DELAY_MS: one show, one key press; prints the milliseconds or "timeout".
one() {
  local launcher=() ms
  [ "$2" -gt 0 ] && launcher=(prlimit --as=$(( $2 * 1024 * 1024 )) --)
  "${launcher[@]}" "$1" /S >>"$work/marvoscope.log" 2>&1 &
  pid=$!
  ms=$("$work/key_latency" Marvoscope "$3" 60) || true
  # A show that missed the key is ended here, so the next try starts alone.
  for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill "$pid" 2>/dev/null && ms="$ms (did not exit)"
  wait "$pid" 2>/dev/null || true
  pid=""
  echo "$ms"
}

declare -A med slow over
for limit in 0 300; do
  label=$([ "$limit" -gt 0 ] && echo "${limit} MB address space" || echo "no limit")
  for p in "${players[@]}"; do : >"$work/$p-$limit"; done
  echo "== $label: ms from the key press to the window's unmap (moment after the window appeared)"
  for ((i = 0; i < tries; i++)); do
    line=$(printf 'try %2d at %4d ms:' $((i + 1)) "${moments[i]}")
    for p in "${players[@]}"; do
      ms=$(one "${program[$p]}" "$limit" "${moments[i]}")
      echo "$ms" >>"$work/$p-$limit"
      line+=$(printf '  %s %s' "$p" "$ms")
    done
    echo "$line"
  done
  for p in "${players[@]}"; do
    # A timeout counts as the slowest possible try.
    read -r med[$p-$limit] slow[$p-$limit] over[$p-$limit] < <(
      awk '{ v = ($1 == "timeout") ? 1e9 : $1; print v, (v > 250 || $0 ~ /did not exit/) }' "$work/$p-$limit" | sort -n |
        awk 'function ms(v) { return v >= 1e9 ? "timeout" : sprintf("%.1f", v) }
             { a[NR] = $1; n += $2 } END { printf "%s %s %d\n", ms(a[int((NR + 1) / 2)]), ms(a[NR]), n }')
    echo "$p, $label: median ${med[$p-$limit]} ms, slowest ${slow[$p-$limit]} ms, over 250 ms: ${over[$p-$limit]} of $tries"
  done
  if [ -n "$before" ]; then
    awk -v a="${med[now-$limit]}" -v b="${med[before-$limit]}" -v c="${slow[now-$limit]}" -v d="${slow[before-$limit]}" \
      'function r(x, y) { return (x == "timeout" || y == "timeout") ? "n/a (a timeout)" : sprintf("%.2f", x / y) }
       BEGIN { printf "ratio now / before: median %s, slowest %s\n", r(a, b), r(c, d) }'
  fi
done
