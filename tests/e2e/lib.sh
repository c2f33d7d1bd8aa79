#!/usr/bin/env bash
# The Linux side of the end-to-end checks: the program in a private Xvfb with a throw-away home
# and its own INI settings store, and the small X helpers built from the C files beside this.
#
#   source "$(dirname "$0")/lib.sh"
#   e2e_init "$1"                 # $1: path to marvoscope; sets HOME/XDG_* to a temp dir
#   e2e_start_xvfb 1280x1024      # exports DISPLAY; Xvfb is stopped on exit
#   e2e_setting AniFile "$pic"    # writes one value of the throw-away settings store
#   e2e_cursor_hidden; e2e_close_window TITLE; e2e_colour_watch X Y SECONDS
# and the shared helpers of common.sh. Everything started here is stopped when the script exits.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

# e2e_init MARVOSCOPE: the program under test and a throw-away home. Never the real user's.
e2e_init() {
  e2e_program "${1:-}"
  [ -x "$MARVOSCOPE" ] || { echo "not executable: $1" >&2; exit 2; }
  E2E_TOOLS="${E2E_TOOLS:-$(dirname "$MARVOSCOPE")/e2e-tools}"
  e2e_workdir
  export HOME="$E2E_TMP/home" XDG_CONFIG_HOME="$E2E_TMP/home/.config" XDG_CACHE_HOME="$E2E_TMP/home/.cache"
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  E2E_INI="$XDG_CONFIG_HOME/Marvoscope 1.0 Demo.ini"
  unset QT_QPA_PLATFORM
}

# The program keeps its frame file in its private runtime folder when its own is not safe.
e2e_scratch_places() { echo "$XDG_RUNTIME_DIR"; }

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

# e2e_tool NAME LIBS...: builds the X helper NAME.c beside this file into $E2E_TOOLS, once.
e2e_tool() {
  local name=$1 src
  shift
  src="$(dirname "${BASH_SOURCE[0]}")/$name.c"
  if [ ! -x "$E2E_TOOLS/$name" ] || [ "$E2E_TOOLS/$name" -ot "$src" ]; then
    mkdir -p "$E2E_TOOLS"
    cc -O1 -o "$E2E_TOOLS/$name.$$" "$src" "$@" && mv "$E2E_TOOLS/$name.$$" "$E2E_TOOLS/$name" ||
      e2e_fail "cannot build the X helper $name"
  fi
}

# e2e_x_probe ARGS...: the small X helper for what xdotool lacks.
e2e_x_probe() { e2e_tool x_probe -lX11 -lXfixes; "$E2E_TOOLS/x_probe" "$@"; }

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

# e2e_colour_watch X Y SECONDS: each change of colour of one screen pixel, as "MS NAME" lines
# (red, green, blue, black, white or rgb(r,g,b)). Call e2e_tool colour_watch -lX11 first when
# it runs in the background, so that a failed build fails the check.
e2e_colour_watch() { e2e_tool colour_watch -lX11; "$E2E_TOOLS/colour_watch" "$@"; }

# e2e_colour_runs FILE: the watched colours as one line, repeated names merged and anything but
# red, green and blue left out ("red green blue green").
e2e_colour_runs() {
  awk '$2 == "red" || $2 == "green" || $2 == "blue" { if ($2 != last) printf "%s%s", (n++ ? " " : ""), $2; last = $2 } END { print "" }' "$1"
}

# e2e_end_animated_show: large pointer steps end the show with status 0 and no scratch file
# left next to the program.
_e2e_step=0
_e2e_stepped_out() {
  # The program takes its first pointer event as where the pointer rests and measures later
  # ones from there, and moves that queue up while it is busy reach it as one: the pointer goes
  # on jumping between two far points until the program has ended.
  _e2e_step=$((1 - _e2e_step))
  xdotool mousemove $((640 + 60 * _e2e_step)) $((512 + 90 * _e2e_step))
  e2e_gone "$E2E_PID"
}
e2e_end_animated_show() {
  e2e_wait_until 5 _e2e_stepped_out || e2e_fail "the show did not end on input"
  e2e_wait_exit 2 || e2e_fail "the show did not end on input"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
  [ ! -e "$(dirname "$MARVOSCOPE")/tmp.gif" ] || e2e_fail "tmp.gif left in the program directory"
  xdotool mousemove 640 512
}

# e2e_ends_on SIGNAL LABEL: the program (E2E_PID) ends within a second of the signal, with
# status 0 and no frame file left.
e2e_ends_on() {
  local sent; sent=$(e2e_now_ms)
  kill -"$1" "$E2E_PID"
  e2e_wait_exit 1 || e2e_fail "$2: still running a second after SIG$1"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$2: exit status $E2E_STATUS after SIG$1"
  e2e_log "$2: SIG$1 ended it in $(( $(e2e_now_ms) - sent )) ms"
  e2e_no_scratch_left "$2"
}

# e2e_make_jpg FILE WxH: a picture with distinct regions, so a wrong stretch shows.
e2e_make_jpg() {
  local w=${2%x*} h=${2#*x}
  /usr/bin/convert -size "${w}x${h}" gradient:red-blue \
    -fill yellow -draw "rectangle 0,0 $((w / 2 - 1)),$((h / 2 - 1))" \
    -fill green -draw "rectangle $((w * 3 / 4)),$((h * 3 / 4)) $((w - 1)),$((h - 1))" -quality 95 "$1"
}

# e2e_start_two_monitors: Xorg's dummy driver with two outputs, a 1024x768 monitor at 0,0 and
# the primary 1280x720 one right of it at 1024,48; skips where that cannot be had.
e2e_start_two_monitors() {
  local driver=/usr/lib/xorg/modules/drivers/dummy_drv.so
  [ -e "$driver" ] || e2e_skip "Xorg's dummy driver is not installed (xserver-xorg-video-dummy)"
  [ "$(id -u)" -eq 0 ] || e2e_skip "Xorg with a configuration of its own needs root"

  cat >"$E2E_TMP/xorg.conf" <<'CONF'
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0-1000.0
  VertRefresh 5.0-200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2304 768
  EndSubSection
EndSection
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
CONF
  e2e_start_x_server Xorg -config "$E2E_TMP/xorg.conf" -logfile "$E2E_TMP/xorg.log" -noreset
  xrandr --addmode DUMMY1 1024x768 || e2e_fail "no second output"
  xrandr --output DUMMY1 --mode 1024x768 --pos 0x0 --output DUMMY0 --mode 1280x720 --pos 1024x48 --primary ||
    e2e_fail "cannot place the two monitors"
}
