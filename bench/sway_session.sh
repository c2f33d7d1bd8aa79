# Sourced by the benches that measure a program on a fresh headless sway (pixman renderer) and
# on other display servers beside it.
#   bench_sway DIR   starts the sway, its files in DIR; sets $sway (its pid, also added to the
#                    caller's pids) and $wayland (its display)
#   session CMD...   runs CMD in that sway's session, as the user nobody when run as root (sway
#                    refuses root), with nothing of the caller's environment
#   measure SETTLE PROGRAM SERVER
#                    "program_seconds server_seconds" of CPU over 20 s after SETTLE seconds

bench_sway() {
  sway_dir=$1
  user=(); [ "$(id -u)" = 0 ] && user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  mkdir -p "$sway_dir/run" "$sway_dir/home" && chmod 700 "$sway_dir/run"
  [ "$(id -u)" = 0 ] && chown -R 65534:65534 "$sway_dir"
  local ready=$sway_dir/sway-ready
  mkfifo "$ready" && chmod 666 "$ready"
  printf 'exec sh -c '\''echo "$WAYLAND_DISPLAY" >%s'\''\n' "$ready" >"$sway_dir/sway.config" && chmod 644 "$sway_dir/sway.config"
  (session sway -c "$sway_dir/sway.config") >/dev/null 2>&1 &
  sway=$!; pids+=("$sway")
  read -r wayland <"$ready"
}

session() {
  exec "${user[@]}" env -i PATH=/usr/bin:/bin HOME="$sway_dir/home" XDG_CONFIG_HOME="$sway_dir/home" \
    XDG_CACHE_HOME="$sway_dir/home" XDG_RUNTIME_DIR="$sway_dir/run" WAYLAND_DISPLAY="${wayland:-}" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "$@"
}

cpu() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # clock ticks used so far
measure() {
  sleep "$1"
  local p0 s0 p1 s1 hz; p0=$(cpu "$2"); s0=$(cpu "$3"); sleep 20; p1=$(cpu "$2"); s1=$(cpu "$3")
  hz=$(getconf CLK_TCK)
  awk -v a="$p0" -v b="$p1" -v c="$s0" -v d="$s1" -v hz="$hz" 'BEGIN { printf "%.2f %.2f\n", (b - a) / hz, (d - c) / hz }'
}
