# Helpers of the animated-GIF end-to-end tests, on top of lib.sh.

# gif_watch_tool: path of the pixel watcher, built on first use.
gif_watch_tool() {
  local tools="${E2E_TOOLS:-$(dirname "$MARVOSCOPE")/e2e-tools}" src
  src="$(dirname "${BASH_SOURCE[0]}")/colour_watch.c"
  if [ ! -x "$tools/colour_watch" ] || [ "$tools/colour_watch" -ot "$src" ]; then
    mkdir -p "$tools"
    cc -O1 -o "$tools/colour_watch" "$src" -lX11 || e2e_fail "cannot build the colour watcher"
  fi
  echo "$tools/colour_watch"
}

# gif_runs FILE: the watched colours as one line, repeated names merged and anything but
# red, green and blue left out ("red green blue green").
gif_runs() {
  awk '$2 == "red" || $2 == "green" || $2 == "blue" { if ($2 != last) printf "%s%s", (n++ ? " " : ""), $2; last = $2 } END { print "" }' "$1"
}

# gif_end_show: a large pointer step ends the show with status 0 and no scratch file left.
gif_end_show() {
  xdotool mousemove 642 512  # the first movement only sets where the pointer rests
  sleep 0.2
  xdotool mousemove 700 600
  e2e_wait_exit 2 || e2e_fail "the show did not end on input"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "exit status $E2E_STATUS"
  [ ! -e "$(dirname "$MARVOSCOPE")/tmp.gif" ] || e2e_fail "tmp.gif left in the program directory"
  xdotool mousemove 640 512
}
