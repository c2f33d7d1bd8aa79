#!/usr/bin/env bash
# Without a usable picture the show never appears: the setup dialog opens instead, with the
# pointer visible, and closing it ends the program.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1024x768

# expect_setup LABEL: the dialog opens, the saver window never shows, closing ends the run.
expect_setup() {
  local label=$1 i
  e2e_wait_window "Make a Marvoscope" 5 >/dev/null || e2e_fail "$label: no setup window"
  ! e2e_wait_window Marvoscope 0.5 >/dev/null || e2e_fail "$label: the saver window was shown"
  e2e_cursor_hidden && e2e_fail "$label: the pointer is hidden"
  e2e_alive || e2e_fail "$label: ended with the dialog"
  e2e_close_window "Make a Marvoscope" || e2e_fail "$label: no window to close"
  e2e_wait_exit 3 || e2e_fail "$label: closing the setup window did not end the program"
  [ "$E2E_STATUS" -eq 0 ] || e2e_fail "$label: exit status $E2E_STATUS"
  e2e_pass "$label: setup window instead of the show; closing it ends the program"
}

# 1. No stored settings at all.
e2e_clear_settings
e2e_start /S
expect_setup "no settings"

# 2. A readable BMP of exactly 100 bytes is refused; one of 101 bytes is shown.
/usr/bin/convert -size 1x11 xc:red -type truecolor "BMP3:$E2E_TMP/small.bmp"
size=$(stat -c %s "$E2E_TMP/small.bmp")
[ "$size" -le 100 ] || e2e_fail "test picture too large ($size bytes)"
head -c $((100 - size)) /dev/zero >>"$E2E_TMP/small.bmp"
e2e_setting AniFile "$E2E_TMP/small.bmp"
e2e_start /S
expect_setup "100-byte BMP"

head -c 1 /dev/zero >>"$E2E_TMP/small.bmp"
e2e_start /S
e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "101-byte BMP: no saver window"
e2e_wait_pixel red 500 400 255,0,0 3 || e2e_fail "101-byte BMP: screen is not red"
xdotool key Escape
e2e_wait_exit 2 || e2e_fail "101-byte BMP: a key did not end the show"
e2e_pass "101-byte BMP shown full screen and ended by a key"

# 3. A file that is no picture, and one whose header asks for 60000 x 60000 pixels.
head -c 5000 /dev/urandom >"$E2E_TMP/noise.jpg"
e2e_setting AniFile "$E2E_TMP/noise.jpg"
e2e_start /S
expect_setup "unreadable picture"

/usr/bin/convert -size 16x16 xc:blue -quality 90 "$E2E_TMP/huge.jpg"
/usr/bin/python3 - "$E2E_TMP/huge.jpg" <<'PY'
import sys
p = sys.argv[1]
b = bytearray(open(p, 'rb').read())
i = next(i for i in range(len(b) - 9) if b[i] == 0xFF and b[i + 1] in (0xC0, 0xC2))
b[i + 5:i + 9] = bytes([60000 >> 8, 60000 & 255, 60000 >> 8, 60000 & 255])
open(p, 'wb').write(b)
PY
e2e_setting AniFile "$E2E_TMP/huge.jpg"
e2e_start /S
expect_setup "header claiming 60000x60000"

# 4. A stored path with blanks around it: tested trimmed, loaded as stored (and so not found).
/usr/bin/convert -size 64x64 xc:green "$E2E_TMP/green.jpg"
e2e_setting AniFile "  $E2E_TMP/green.jpg  "
e2e_start /S
expect_setup "path with blanks around it"

# 5. sun.Gif is no GIF by name: the still path shows it.
cp "$E2E_TMP/green.jpg" "$E2E_TMP/sun.Gif"
e2e_setting AniFile "$E2E_TMP/sun.Gif"
e2e_start /S
e2e_wait_window Marvoscope 3 >/dev/null || e2e_fail "sun.Gif: no saver window"
green_shown() {
  e2e_screenshot green
  pixel=$(e2e_pixel "$E2E_SHOT" 512 384)
  [[ $pixel =~ ^[0-9]+,(1[0-9][0-9]|[2-9][0-9]),[0-9]+$ ]]
}
e2e_wait_until 3 green_shown || e2e_fail "sun.Gif: screen is $pixel, not green"
xdotool click 1
e2e_wait_exit 2 || e2e_fail "sun.Gif: a click did not end the show"
[ "$E2E_STATUS" -eq 0 ] || e2e_fail "sun.Gif: exit status $E2E_STATUS"
e2e_pass "sun.Gif shown as a still picture and ended by a click"
