#!/usr/bin/env bash
# Helpers for the checks under real screen-saver hosts (xscreensaver, xsecurelock) and in
# windows other programs own. Sourced after lib.sh and e2e_init.
#
#   e2e_host_window X Y W H        a window another client owns (E2E_HOST_ID); e2e_host_do CMD
#   e2e_viewable_windows           how many top-level windows are mapped
#   e2e_host_user_setup PROGRAM    a throw-away home and a copy of PROGRAM that an unprivileged
#                                  user can run (E2E_USER_HOME, E2E_USER_BIN)
#   e2e_as_user CMD...             CMD as that user (as is, when not run as root)
#   e2e_user_setting KEY VALUE     one value of that user's settings store
#   e2e_host_pictures              that user's picture (still.jpg) and a GIF (rgb.gif) to play
#   e2e_pids_of PATTERN            our own processes whose command line holds PATTERN
#   e2e_wait_gone PATTERN SECONDS  until none of them is left

# e2e_host_window X Y W H: maps a plain window and keeps its helper running; E2E_HOST_ID is
# its id. e2e_host_do sends the helper one command ("size W H", "destroy") and waits for it.
# A later call replaces the window before it.
e2e_host_window() {
  local fifo="$E2E_TMP/host.$RANDOM"
  e2e_tool host_window -lX11
  mkfifo "$fifo.in" "$fifo.out"
  "$E2E_TOOLS/host_window" "$@" <"$fifo.in" >"$fifo.out" &
  E2E_PIDS+=("$!")
  exec 7>"$fifo.in" 8<"$fifo.out"
  read -r -t 5 E2E_HOST_ID <&8 || e2e_fail "the host window did not open"
}
e2e_host_do() {
  local reply
  echo "$*" >&7
  read -r -t 5 reply <&8 && [ "$reply" = done ] || e2e_fail "host window helper: '$*' failed"
}

e2e_viewable_windows() {
  local id n=0
  for id in $(xwininfo -root -children 2>/dev/null | grep -o '^ *0x[0-9a-f]*'); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'IsViewable' && n=$((n + 1))
  done
  echo "$n"
}

# e2e_host_user_setup PROGRAM: hosts refuse to run savers as root (xscreensaver does), so as root
# the hosts and the program run as the unprivileged user nobody, from copies they can reach.
e2e_host_user_setup() {
  chmod 755 "$E2E_TMP"
  E2E_USER_HOME="$E2E_TMP/user"
  E2E_USER_BIN="$E2E_TMP/user-bin"
  mkdir -p "$E2E_USER_HOME/.config" "$E2E_USER_HOME/run" "$E2E_USER_BIN"
  chmod 700 "$E2E_USER_HOME/run"
  cp "$1" "$E2E_USER_BIN/marvoscope"
  E2E_USER_INI="$E2E_USER_HOME/.config/Marvoscope 1.0 Demo.ini"
  printf '[Settings]\n' >"$E2E_USER_INI"
  E2E_AS_USER=(env -i "DISPLAY=$DISPLAY" "HOME=$E2E_USER_HOME" "XDG_CONFIG_HOME=$E2E_USER_HOME/.config"
               "XDG_CACHE_HOME=$E2E_USER_HOME/.cache" "XDG_RUNTIME_DIR=$E2E_USER_HOME/run" "PATH=/usr/bin:/bin")
  if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$E2E_USER_HOME"
    E2E_AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups "${E2E_AS_USER[@]}")
  fi
}

# e2e_host_pictures: the unprivileged user's settings show still.jpg (320x240) on black, and
# rgb.gif (red, green, blue) is there for the round that plays a GIF.
e2e_host_pictures() {
  e2e_make_jpg "$E2E_TMP/still.jpg" 320x240
  /usr/bin/convert -delay 20 -size 64x48 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif"
  e2e_user_setting AniFile "$E2E_TMP/still.jpg"
  e2e_user_setting BackColors 0
}

# E2E_AS_USER is the command prefix, for a background start whose $! must be the program.
e2e_as_user() { "${E2E_AS_USER[@]}" "$@"; }

e2e_user_setting() {
  grep -v "^$1=" "$E2E_USER_INI" >"$E2E_USER_INI.new" || true
  printf '%s=%s\n' "$1" "$2" >>"$E2E_USER_INI.new"
  cat "$E2E_USER_INI.new" >"$E2E_USER_INI" && rm -f "$E2E_USER_INI.new"
}

# A process that has ended but whose parent (a host that went first) never collected it counts
# as gone.
e2e_pids_of() {
  local pid
  for pid in $(pgrep -f -- "$1"); do
    [[ "$(ps -o stat= -p "$pid" 2>/dev/null)" == Z* ]] || echo "$pid"
  done
}
_e2e_none_of() { [ -z "$(e2e_pids_of "$1")" ]; }
e2e_wait_gone() { e2e_wait_until "$2" _e2e_none_of "$1"; }

# e2e_stop_pattern PATTERN: stops what is left of our own processes of that command line.
e2e_stop_pattern() {
  local pid
  for pid in $(e2e_pids_of "$1"); do kill "$pid" 2>/dev/null; done
}

# e2e_xscreensaver_start COMMAND: xscreensaver as the user, with COMMAND its one program, until
# it answers commands.
_e2e_xss_ready() { e2e_as_user xscreensaver-command -time >/dev/null 2>&1; }
e2e_xscreensaver_start() {
  printf 'mode: one\nselected: 0\nfade: False\nunfade: False\nsplash: False\nlock: False\ntimeout: 0:30:00\nprograms: "Marvoscope" %s \\n\n' \
    "$1" >"$E2E_USER_HOME/.xscreensaver"
  [ "$(id -u)" -eq 0 ] && chown nobody:nogroup "$E2E_USER_HOME/.xscreensaver"
  "${E2E_AS_USER[@]}" xscreensaver -no-splash -verbose >>"$E2E_TMP/xscreensaver.log" 2>&1 &
  E2E_XSS=$!
  E2E_PIDS+=("$E2E_XSS")
  e2e_wait_until 10 _e2e_xss_ready || e2e_fail "xscreensaver did not start: $(cat "$E2E_TMP/xscreensaver.log")"
}

# e2e_xscreensaver_round LABEL PATTERN: with xscreensaver started, its program (processes
# matching PATTERN) shows the stored still picture on -activate and is gone within two seconds
# of -deactivate; then a GIF animates, and stopping xscreensaver ends it within two seconds.
# The stored picture must be $E2E_TMP/still.jpg, 320x240, on a 640x480 screen.
e2e_xscreensaver_round() {
  local label=$1 pattern=$2 sent
  /usr/bin/convert "$E2E_TMP/still.jpg" -resize '640x480!' "$E2E_TMP/still-640x480.png"
  e2e_as_user xscreensaver-command -activate >/dev/null 2>&1 || e2e_fail "$label: xscreensaver-command -activate"
  e2e_wait_picture "$label-still" "$E2E_TMP/still-640x480.png" 0.05 10 ||
    e2e_fail "$label: the screen does not show the picture (RMSE $E2E_RMSE)"
  e2e_log "$label: screenshot vs. picture stretched to 640x480: RMSE $E2E_RMSE"
  [ -n "$(e2e_pids_of "$pattern")" ] || e2e_fail "$label: no marvoscope process"
  sent=$(e2e_now_ms)
  e2e_as_user xscreensaver-command -deactivate >/dev/null 2>&1
  e2e_wait_gone "$pattern" 2 || e2e_fail "$label: marvoscope still runs 2 s after -deactivate: $(ps -o pid,stat,etime,args -p "$(e2e_pids_of "$pattern" | head -n1)"); xscreensaver said: $(tail -n 12 "$E2E_TMP/xscreensaver.log")"
  e2e_log "$label: marvoscope gone $(( $(e2e_now_ms) - sent )) ms after -deactivate"

  e2e_user_setting AniFile "$E2E_TMP/rgb.gif"
  e2e_as_user xscreensaver-command -activate >/dev/null 2>&1 || e2e_fail "$label: second -activate"
  e2e_wait_pixel "$label-gif" 320 240 0,0,255 10 40 || e2e_fail "$label: the GIF does not show"
  e2e_colour_watch 320 240 1.5 >"$E2E_TMP/watch.txt"
  [[ "$(e2e_colour_runs "$E2E_TMP/watch.txt")" == *green*blue* ]] ||
    e2e_fail "$label: the GIF does not animate ($(e2e_colour_runs "$E2E_TMP/watch.txt"))"
  sent=$(e2e_now_ms)
  kill "$E2E_XSS"
  e2e_wait_gone "$pattern" 2 || e2e_fail "$label: marvoscope still runs 2 s after xscreensaver was stopped; xscreensaver said: $(tail -n 12 "$E2E_TMP/xscreensaver.log")"
  e2e_log "$label: marvoscope gone $(( $(e2e_now_ms) - sent )) ms after xscreensaver was stopped"
  wait "$E2E_XSS" 2>/dev/null
  e2e_user_setting AniFile "$E2E_TMP/still.jpg"
}
