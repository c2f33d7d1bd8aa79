#!/usr/bin/env bash
# The program's folder on a disk with 1 MB free, and a GIF whose frame files are larger: the
# frame file cannot be written whole there, so it is written in the user's private folder and
# the show plays (red, green, blue) instead of opening the setup dialog; nothing is left behind.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

prog="$E2E_TMP/prog"
mkdir -p "$prog"
size_kb=$(( $(stat -c %s "$MARVOSCOPE") / 1024 + 1024 + 256 ))
mount -t tmpfs -o "size=${size_kb}k,mode=0700" tmpfs "$prog" 2>/dev/null ||
  e2e_skip "a tmpfs cannot be mounted here (it needs root and the right to mount), so a full program folder is not checked"
e2e_side_cleanup() { umount "$prog" 2>/dev/null; }
cp "$MARVOSCOPE" "$prog/marvoscope"
free_kb=$(df --output=avail -k "$prog" | tail -n1)
dd if=/dev/zero of="$prog/filler" bs=1k count=$(( free_kb - 1024 )) status=none 2>/dev/null || true
free_kb=$(df --output=avail -k "$prog" | tail -n1)
[ "$free_kb" -le 1100 ] || e2e_fail "could not fill the program folder ($free_kb KB free)"
MARVOSCOPE="$prog/marvoscope"

# Each frame: noise that does not compress (about 1.4 MB of image data) over a band of colour.
gif="$E2E_TMP/big.gif"
for c in red lime blue; do
  /usr/bin/convert \( -size 1024x1700 xc:gray +noise Random \) \( -size 1024x600 "xc:$c" \) -append "$E2E_TMP/$c.png"
done
/usr/bin/convert -delay 40 "$E2E_TMP/red.png" "$E2E_TMP/lime.png" "$E2E_TMP/blue.png" -loop 0 "$gif"
[ "$(stat -c %s "$gif")" -gt $(( 3 * 1024 * 1024 )) ] || e2e_fail "the test GIF is too small"
e2e_setting AniFile "$gif"
e2e_setting Mousesens 15

e2e_start_xvfb 1280x1024
e2e_tool colour_watch -lX11
xdotool mousemove 640 512
e2e_colour_watch 640 960 30 >"$E2E_TMP/colours.txt" &
E2E_PIDS+=("$!")
e2e_start /S
e2e_wait_window Marvoscope 20 >/dev/null || e2e_fail "no saver window within 20 s"
e2e_wait_until 20 grep -q ' blue$' "$E2E_TMP/colours.txt" || {
  [ -n "$(e2e_find_window "Make a Marvoscope")" ] && e2e_fail "the setup dialog opened instead of the show"
  e2e_fail "the show did not reach its third frame: $(e2e_colour_runs "$E2E_TMP/colours.txt")"
}
e2e_pass "the show plays with $free_kb KB free in its folder: $(e2e_colour_runs "$E2E_TMP/colours.txt")"
e2e_end_animated_show
left=$(ls "$XDG_RUNTIME_DIR/marvoscope" 2>/dev/null | grep "\.gif$")
[ -z "$left" ] || e2e_fail "a frame file was left in the private folder: $left"
e2e_pass "no frame file left in either folder"
