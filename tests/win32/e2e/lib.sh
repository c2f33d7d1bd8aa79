# Shared helpers of the Wine end-to-end checks. Each check runs the real Marvoscope.scr in a
# throw-away Wine prefix on its own virtual X display (both made here unless the caller,
# scripts/test-windows.sh, already provides them), and never touches the user's settings.
set -uo pipefail

SCR="${1:?usage: bash test_x.sh path/to/Marvoscope.scr}"
SCR=$(readlink -f "$SCR")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/marvoscope-e2e.XXXXXX")
SHOTS="${MARVOSCOPE_SHOTS:-$WORK/shots}"
mkdir -p "$SHOTS"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
OWN_XVFB=""
OWN_PREFIX=""
SCR_PIDS=()

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "  $*"; }

cleanup() {
  local pid
  # Wine programs outlive a plain TERM; whatever a failed check left running must go.
  for pid in "${SCR_PIDS[@]}"; do kill -KILL "$pid" 2>/dev/null; done
  if [ -n "$OWN_PREFIX" ]; then wineserver -k 2>/dev/null; fi
  if [ -n "$OWN_XVFB" ]; then kill "$OWN_XVFB" 2>/dev/null; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

if [ -z "${MARVOSCOPE_WINE_READY:-}" ]; then
  for n in $(seq 90 140); do [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  OWN_XVFB=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  export WINEPREFIX="$WORK/prefix"
  OWN_PREFIX=1
  bash "$HERE/../prepare-prefix.sh" || fail "cannot prepare the Wine prefix"
fi

KEY='HKCU\Software\VB and VBA Program Settings\Marvoscope 1.0 Demo\Settings'

# The program reads and writes the store through the registry; start each check from nothing.
reset_settings() { wine reg delete "$KEY" /f >/dev/null 2>&1; true; }
set_setting() { wine reg add "$KEY" /v "$1" /t REG_SZ /d "$2" /f >/dev/null 2>&1 || fail "reg add $1"; }
# The stored text of one value, "" when missing.
get_setting() {
  wine reg query "$KEY" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"
}
# The Windows path of a Unix file.
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

# Starts the program in the background; its pid lands in $LAST_PID.
start_scr() {
  wine "$SCR" "$@" >/dev/null 2>>"${MARVOSCOPE_E2E_LOG:-/dev/null}" &
  LAST_PID=$!
  SCR_PIDS+=("$LAST_PID")
}
# Waits up to $2 seconds (default 20) for a top-level window titled exactly $1; prints its id.
wait_window() {
  local i id
  for i in $(seq $(( ${2:-20} * 5 ))); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
    if [ -n "$id" ]; then echo "$id"; return 0; fi
    sleep 0.2
  done
  return 1
}
# Waits up to $2 seconds for process $1 to end; its exit status lands in $EXIT_STATUS.
wait_exit() {
  local i
  for i in $(seq $(( ${2:-20} * 5 ))); do
    if ! kill -0 "$1" 2>/dev/null; then wait "$1"; EXIT_STATUS=$?; return 0; fi
    sleep 0.2
  done
  return 1
}
screenshot() { import -window root "$SHOTS/$1.png" 2>/dev/null || fail "screenshot $1"; echo "$SHOTS/$1.png"; }
# The colour of one pixel of a PNG, as "r,g,b" in 0..255.
pixel() {
  /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}
# Whether two "r,g,b" colours are within a tolerance of each other (JPEG is lossy).
near() {
  local IFS=,; local a=($1) b=($2) t=${3:-40} i d
  for i in 0 1 2; do d=$(( a[i] - b[i] )); [ ${d#-} -le "$t" ] || return 1; done
}

# A show of an earlier check may still be on its way out (its window outlives its process by
# a moment in Wine); a new show would take it for a running saver and end at once.
for _ in $(seq 75); do
  [ -z "$(xdotool search --name '^(Marvoscope|Make a Marvoscope)$' 2>/dev/null)" ] && break
  sleep 0.2
done

# Presses a key in a window through the X server (XTEST), press and release alike. A key sent
# to the window directly would lose its release when the window closes on the press, and Wine
# would then hold the key down for the next program.
press() {
  local key=$1 target=$2
  xdotool windowfocus "$target" 2>/dev/null
  sleep 0.2
  xdotool key "$key"
}
