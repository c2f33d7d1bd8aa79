# The Wayland side of the Linux checks: a real headless sway, run as an unprivileged user (sway
# refuses root), and the program run as that user in sway's session. Source after lib.sh and
# e2e_init.
#
#   e2e_wl_init                   skips when sway or grim is missing; makes the throw-away home
#                                 and runtime folder the session user's
#   e2e_start_sway                sway on one 1280x720 output; exports WAYLAND_DISPLAY
#   e2e_wl CMD...                 runs CMD as the session user, in the session
#   e2e_wl_start ARGS...          the program in the background (E2E_PID), as the session user
#   e2e_wl_shot NAME [OUTPUT]     grim's screenshot into $E2E_SHOTS/NAME.png (E2E_SHOT)
#   e2e_wl_wait_picture NAME OUTPUT EXPECTED LIMIT [S]; e2e_wl_wait_pixel NAME OUTPUT X Y R,G,B [S]
#   e2e_wl_expected PICTURE WxH NAME   the picture stretched to an output, as the program does
E2E_WL_USER=()  # the command that makes a command the session user's; none when not root

e2e_wl_init() {
  local tool
  for tool in sway grim swaymsg; do
    command -v "$tool" >/dev/null || e2e_skip "$tool is not installed (scripts/test.sh installs it)"
  done
  if [ "$(id -u)" = 0 ]; then
    command -v setpriv >/dev/null || e2e_skip "setpriv is missing, and sway does not run as root"
    E2E_WL_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 755 "$E2E_TMP"
    chown -R 65534:65534 "$HOME" "$XDG_RUNTIME_DIR"
    chmod 777 "$E2E_SHOTS"
  fi
}

# Only what a session needs: the user's own environment, never the caller's. It replaces the
# (sub)shell it runs in, so that a background one's $! is the command itself.
_e2e_wl_exec() {
  exec "${E2E_WL_USER[@]}" env -i PATH=/usr/bin:/bin HOME="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" \
    XDG_CACHE_HOME="$XDG_CACHE_HOME" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="${WAYLAND_DISPLAY:-}" \
    SWAYSOCK="${SWAYSOCK:-}" WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "$@"
}
e2e_wl() { (_e2e_wl_exec "$@"); }

e2e_start_sway() {
  local fifo="$E2E_TMP/sway-ready" name=""
  mkfifo "$fifo" && chmod 666 "$fifo"
  # sway says it is ready by running the config's exec once its socket is up.
  printf 'exec sh -c '\''echo "$WAYLAND_DISPLAY" >%s'\''\n' "$fifo" >"$E2E_TMP/sway.config"
  chmod 644 "$E2E_TMP/sway.config"
  (WAYLAND_DISPLAY="" SWAYSOCK="" _e2e_wl_exec sway -c "$E2E_TMP/sway.config") >>"$E2E_TMP/sway.log" 2>&1 &
  E2E_SERVERS+=("$!")
  read -r -t 20 name <"$fifo" || true
  [ -n "$name" ] || e2e_fail "sway did not start: $(tail -n 5 "$E2E_TMP/sway.log")"
  export WAYLAND_DISPLAY="$name"
  SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock 2>/dev/null | head -n1)
  export SWAYSOCK
}

e2e_wl_start() {
  (_e2e_wl_exec "$MARVOSCOPE" "$@") >>"$E2E_TMP/marvoscope.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

e2e_wl_shot() {
  E2E_SHOT="$E2E_SHOTS/$1.png"
  e2e_wl grim ${2:+-o "$2"} "$E2E_SHOT" 2>/dev/null
}

e2e_wl_expected() {
  /usr/bin/convert "$1" -filter Triangle -resize "$2!" "$E2E_TMP/expected-$3.png"
  echo "$E2E_TMP/expected-$3.png"
}

_e2e_wl_picture_is() {
  e2e_wl_shot "$1" "$2" || return 1
  E2E_RMSE=$(e2e_rmse "$E2E_SHOT" "$3")
  awk "BEGIN { exit !($E2E_RMSE < $4) }"
}
e2e_wl_wait_picture() { e2e_wait_until "${5:-5}" _e2e_wl_picture_is "$1" "$2" "$3" "$4"; }

_e2e_wl_pixel_is() { e2e_wl_shot "$1" "$2" && e2e_near "$(e2e_pixel "$E2E_SHOT" "$3" "$4")" "$5" 40; }
e2e_wl_wait_pixel() { e2e_wait_until "${6:-5}" _e2e_wl_pixel_is "$1" "$2" "$3" "$4" "$5"; }
