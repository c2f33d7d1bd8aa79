#!/usr/bin/env bash
# Shared helpers of the end-to-end tests: a private Xvfb, a throw-away home with its own
# settings store, the program under test, screenshots and pixel comparisons.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"                 # $1: path to marvoscope; sets HOME/XDG_* to a temp dir
#   e2e_start_xvfb 1280x1024      # exports DISPLAY; Xvfb is killed on exit
#   e2e_setting AniFile "$pic"    # writes one value of the throw-away settings store
#   e2e_start /S                  # runs marvoscope in the background (E2E_PID)
#   e2e_wait_window Marvoscope 5  # waits until a visible window has exactly this title
#   e2e_screenshot shot.png; e2e_rmse a.png b.png; e2e_cursor_hidden; e2e_close_window TITLE
#   e2e_wait_exit 1               # E2E_STATUS holds the exit status
#   e2e_pass "..." / e2e_fail "..."
# Everything started here is stopped again when the script exits.

E2E_PIDS=()
E2E_XVFB_PID=""
E2E_PID=""
E2E_STATUS=""

e2e_log() { echo "[e2e] $*" >&2; }

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  if [ -n "$E2E_XVFB_PID" ]; then kill "$E2E_XVFB_PID" 2>/dev/null; wait "$E2E_XVFB_PID" 2>/dev/null; fi
  [ -n "${E2E_TMP:-}" ] && [ -d "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
}

e2e_fail() { e2e_log "FAIL: $*"; [ -f "${E2E_TMP:-}/marvoscope.log" ] && sed 's/^/[marvoscope] /' "$E2E_TMP/marvoscope.log" >&2; exit 1; }
e2e_pass() { e2e_log "ok: $*"; }
e2e_skip() { e2e_log "SKIP: $*"; exit 0; }

# e2e_init MARVOSCOPE: the program under test and a throw-away home. Never the real user's.
e2e_init() {
  [ -n "${1:-}" ] || { echo "usage: $0 path/to/marvoscope" >&2; exit 2; }
  MARVOSCOPE=$(readlink -f "$1")
  [ -x "$MARVOSCOPE" ] || { echo "not executable: $1" >&2; exit 2; }
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/marvoscope-e2e.XXXXXX")
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_CACHE_HOME="$E2E_TMP/home/.cache"
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  E2E_INI="$XDG_CONFIG_HOME/Marvoscope 1.0 Demo.ini"
  unset QT_QPA_PLATFORM
}

# e2e_start_xvfb [WxH]: a private X server on a free display number, 24-bit colour.
e2e_start_xvfb() {
  local size=${1:-1280x1024} fifo="$E2E_TMP/displayfd" display=""
  command -v Xvfb >/dev/null || e2e_fail "Xvfb is not installed"
  mkfifo "$fifo"
  Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset 9>"$fifo" 2>"$E2E_TMP/xvfb.log" &
  E2E_XVFB_PID=$!
  read -r -t 15 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || e2e_fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.log")"
  export DISPLAY=":$display"
  local i
  for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
  e2e_fail "display $DISPLAY not ready"
}

# e2e_setting KEY VALUE: one value in the program's settings store (blanks at the ends kept).
e2e_setting() {
  local key=$1 value=$2
  value=${value//\\/\\\\}
  [[ $value == " "* ]] && value="\\x20${value:1}"
  [[ $value == *" " && ${#value} -gt 0 ]] && value="${value:0:${#value}-1}\\x20"
  [ -f "$E2E_INI" ] || printf '[Settings]\n' >"$E2E_INI"
  grep -v "^$key=" "$E2E_INI" >"$E2E_INI.new" || true
  printf '%s=%s\n' "$key" "$value" >>"$E2E_INI.new"
  mv "$E2E_INI.new" "$E2E_INI"
}
e2e_clear_settings() { rm -f "$E2E_INI"; }
# e2e_get_setting KEY: the stored text (escapes not undone).
e2e_get_setting() { sed -n "s/^$1=//p" "$E2E_INI" 2>/dev/null | tail -n1; }

# e2e_start ARGS...: runs the program in the background; output in $E2E_TMP/marvoscope.log.
e2e_start() {
  "$MARVOSCOPE" "$@" >>"$E2E_TMP/marvoscope.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

e2e_alive() { kill -0 "${1:-$E2E_PID}" 2>/dev/null; }

# e2e_wait_exit [SECONDS] [PID]: waits for the program to end; E2E_STATUS = its status.
e2e_wait_exit() {
  local limit=${1:-5} pid=${2:-$E2E_PID} deadline
  deadline=$(( $(e2e_now_ms) + $(awk "BEGIN { print int($limit * 1000) }") ))
  while e2e_alive "$pid"; do
    [ "$(e2e_now_ms)" -ge "$deadline" ] && return 1
    sleep 0.02
  done
  wait "$pid"; E2E_STATUS=$?
  return 0
}

# e2e_find_window TITLE: ids of mapped windows with exactly this title (nothing when none).
e2e_find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

# e2e_wait_window TITLE [SECONDS]: prints the window id once such a window is visible.
e2e_wait_window() {
  local title=$1 limit=${2:-5} id i
  for i in $(seq $((limit * 20))); do
    id=$(e2e_find_window "$title" | head -n1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# e2e_screenshot FILE: the whole screen as the X server shows it.
e2e_screenshot() { import -display "$DISPLAY" -window root "$1"; }

# e2e_rmse A B: normalised root-mean-square difference of two images, 0 (same) to 1.
e2e_rmse() {
  local out
  out=$(/usr/bin/compare -metric RMSE "$1" "$2" null: 2>&1)
  sed -E 's/.*\(([0-9.e+-]+)\).*/\1/' <<<"$out"
}

# e2e_pixel IMAGE X Y: the colour of one pixel as "r,g,b" (0-255).
e2e_pixel() {
  /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# e2e_x_probe ARGS...: runs the small X helper (built on first use next to the program).
e2e_x_probe() {
  local tools="${E2E_TOOLS:-$(dirname "$MARVOSCOPE")/e2e-tools}" src
  src="$(dirname "${BASH_SOURCE[0]}")/x_probe.c"
  if [ ! -x "$tools/x_probe" ] || [ "$tools/x_probe" -ot "$src" ]; then
    mkdir -p "$tools"
    cc -O1 -o "$tools/x_probe.$$" "$src" -lX11 -lXfixes && mv "$tools/x_probe.$$" "$tools/x_probe" ||
      e2e_fail "cannot build the X helper"
  fi
  "$tools/x_probe" "$@"
}

# e2e_cursor_hidden: succeeds when the pointer shows no visible pixel right now.
e2e_cursor_hidden() {
  local state; state=$(e2e_x_probe cursor) || e2e_fail "cursor probe failed"
  [[ $state == hidden* ]]
}

# e2e_close_window TITLE: asks every visible window of this title to close (its close box).
e2e_close_window() {
  local id ids; ids=$(e2e_find_window "$1")
  [ -n "$ids" ] || return 1
  for id in $ids; do e2e_x_probe close "$id"; done
}

# e2e_make_jpg FILE WxH: a picture with distinct regions, so a wrong stretch shows.
e2e_make_jpg() {
  local w=${2%x*} h=${2#*x}
  /usr/bin/convert -size "${w}x${h}" gradient:red-blue \
    -fill yellow -draw "rectangle 0,0 $((w / 2 - 1)),$((h / 2 - 1))" \
    -fill green -draw "rectangle $((w * 3 / 4)),$((h * 3 / 4)) $((w - 1)),$((h - 1))" -quality 95 "$1"
}

# e2e_now_ms: milliseconds since the epoch.
e2e_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
