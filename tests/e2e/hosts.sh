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
  [ "$(id -u)" -eq 0 ] && chown -R nobody:nogroup "$E2E_USER_HOME"
  return 0
}

e2e_as_user() {
  local env=(env -i "DISPLAY=$DISPLAY" "HOME=$E2E_USER_HOME" "XDG_CONFIG_HOME=$E2E_USER_HOME/.config"
             "XDG_CACHE_HOME=$E2E_USER_HOME/.cache" "XDG_RUNTIME_DIR=$E2E_USER_HOME/run" "PATH=/usr/bin:/bin")
  if [ "$(id -u)" -eq 0 ]; then
    setpriv --reuid=nobody --regid=nogroup --clear-groups "${env[@]}" "$@"
  else
    "${env[@]}" "$@"
  fi
}

e2e_user_setting() {
  grep -v "^$1=" "$E2E_USER_INI" >"$E2E_USER_INI.new" || true
  printf '%s=%s\n' "$1" "$2" >>"$E2E_USER_INI.new"
  cat "$E2E_USER_INI.new" >"$E2E_USER_INI" && rm -f "$E2E_USER_INI.new"
}

e2e_pids_of() { pgrep -f -- "$1" || true; }
_e2e_none_of() { [ -z "$(e2e_pids_of "$1")" ]; }
e2e_wait_gone() { e2e_wait_until "$2" _e2e_none_of "$1"; }

# e2e_stop_pattern PATTERN: stops what is left of our own processes of that command line.
e2e_stop_pattern() {
  local pid
  for pid in $(e2e_pids_of "$1"); do kill "$pid" 2>/dev/null; done
}
