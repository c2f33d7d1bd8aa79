#!/usr/bin/env bash
# One show per screen however the display is spelt (":N" and "unix:N" are one screen), and for
# a user with no usable home, cache or runtime folder too: such a user's show gets a private
# folder of its own in the temporary folder, where its animated GIF finds room for its frames.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 800x600
e2e_tool colour_watch -lX11
screen=${DISPLAY#*:}
screen=${screen%%.*}

second_show_ends_at_once() {
  local first=$E2E_PID
  DISPLAY="$1" e2e_start /S
  e2e_wait_exit 3 || e2e_fail "a second show on DISPLAY=$1 is still running"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "second show: exit status $E2E_STATUS"
  e2e_alive "$first" || e2e_fail "the first show ended"
  E2E_PID=$first
}

gif="$E2E_TMP/rgb.gif"
/usr/bin/convert -size 64x48 -delay 20 xc:red xc:lime xc:blue -loop 0 "$gif"
e2e_setting AniFile "$gif"
e2e_setting Mousesens 30

# 1. The same display spelt three ways.
DISPLAY=":$screen" e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "the first show did not start"
second_show_ends_at_once "unix:$screen"
second_show_ends_at_once "unix:$screen.0"
e2e_pass "DISPLAY=unix:$screen and unix:$screen.0 find the show on :$screen"
xdotool key space
e2e_wait_exit 3 || e2e_fail "the first show did not end on a key"

# 2. No usable home, cache or runtime folder: paths under a plain file, which no one can create.
printf 'a file\n' >"$E2E_TMP/file"
export HOME="$E2E_TMP/file/home" XDG_CACHE_HOME="$E2E_TMP/file/cache" XDG_RUNTIME_DIR="$E2E_TMP/file/run"
export TMPDIR="$E2E_TMP/shared"
mkdir -p "$TMPDIR" && chmod 1777 "$TMPDIR"
xdotool mousemove 400 300
e2e_colour_watch 400 300 8 >"$E2E_TMP/colours.txt" &
E2E_PIDS+=("$!")
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no show for a user without home folders"
e2e_wait_until 5 grep -q ' blue$' "$E2E_TMP/colours.txt" || e2e_fail "the animation did not reach its third frame"
own="$TMPDIR/marvoscope-$(id -u)"
[ "$(stat -c '%a %u' "$own" 2>/dev/null)" = "700 $(id -u)" ] || e2e_fail "no private folder $own: $(ls -la "$TMPDIR")"
second_show_ends_at_once "$DISPLAY"
e2e_pass "without home folders: the animation plays, a second show ends, the private folder is $own"
e2e_end_animated_show
