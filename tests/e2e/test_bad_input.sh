#!/usr/bin/env bash
# Hostile and broken input gets a calm outcome: a planted tmp.gif link is never followed, two
# shows sharing the program's folder both play, no frame file is left behind, and a huge file
# named .gif is refused quickly with little memory.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 640x480
e2e_tool colour_watch -lX11
e2e_setting Mousesens 30
e2e_setting BackColors 0

# A copy of the program in a folder of its own, so the scratch file lands next to it.
e2e_own_folder marvoscope
prog=$(dirname "$MARVOSCOPE")
/usr/bin/convert -delay 10 -size 80x60 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif"
e2e_setting AniFile "$E2E_TMP/rgb.gif"

animates() {  # animates LABEL: the show runs through its colours, then a key ends it
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "$1: no saver window"
  e2e_colour_watch 320 240 1.2 >"$E2E_TMP/watch.txt"
  [[ "$(e2e_colour_runs "$E2E_TMP/watch.txt")" == *green*blue* ]] || e2e_fail "$1: the show does not play"
  xdotool key space
  e2e_wait_exit 3 || e2e_fail "$1: a key did not end the show"
}

# 1. A link planted as tmp.gif, in a folder others may write to and in a private one.
echo "precious" >"$E2E_TMP/victim.txt"
for mode in 777 700; do
  chmod "$mode" "$prog"
  ln -sf "$E2E_TMP/victim.txt" "$prog/tmp.gif"
  e2e_start /S
  animates "link in a $mode folder"
  [ "$(cat "$E2E_TMP/victim.txt")" = "precious" ] || e2e_fail "link in a $mode folder: the victim was written"
  [ -L "$prog/tmp.gif" ] || e2e_fail "link in a $mode folder: the link was removed"
  rm "$prog/tmp.gif"
  e2e_no_scratch_left "link in a $mode folder"
  e2e_pass "a tmp.gif link in a $mode folder is not followed; the show plays"
done

# 2. Two shows on two displays, sharing the program's folder, split a long GIF at the same time.
# 180 frames: sixty times red, green and blue, joined by gifsicle (ImageMagick takes seconds).
/usr/bin/convert -delay 5 -size 160x120 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb-160.gif"
gifsicle $(for i in $(seq 60); do echo "$E2E_TMP/rgb-160.gif"; done) >"$E2E_TMP/long.gif" || e2e_fail "make the long GIF"
e2e_setting AniFile "$E2E_TMP/long.gif"
first=$DISPLAY
e2e_start_xvfb 640x480
second=$DISPLAY
export DISPLAY=$first
DISPLAY=$second e2e_start /S
other=$E2E_PID
e2e_start /S
animates "first of two shows"
DISPLAY=$second e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "second of two shows: no saver window"
DISPLAY=$second e2e_colour_watch 320 240 1.2 >"$E2E_TMP/watch2.txt"
[[ "$(e2e_colour_runs "$E2E_TMP/watch2.txt")" == *green*blue* ]] || e2e_fail "second of two shows does not play"
DISPLAY=$second xdotool key space
e2e_wait_exit 3 "$other" || e2e_fail "second of two shows: a key did not end it"
e2e_no_scratch_left "two shows"
e2e_pass "two shows sharing the program's folder both play"

# expect_setup LABEL [SECONDS]: the setup dialog opens instead of the show; closing it ends all.
expect_setup() {
  e2e_wait_window "Make a Marvoscope" "${2:-5}" >/dev/null || e2e_fail "$1: no setup window"
  [ -z "$(e2e_find_window Marvoscope)" ] || e2e_fail "$1: the saver window was shown"
}
close_setup() {
  e2e_close_window "Make a Marvoscope" || e2e_fail "$1: no window to close"
  e2e_wait_exit 3 || e2e_fail "$1: closing the setup window did not end the program"
}

# 3. A frame the decoder refuses: the dialog opens and no frame file stays behind.
{ head -c 800 "$E2E_TMP/rgb.gif"; printf '\x00\x21\xF9\x04\x00\x0A\x00\x00\x00\x2C\x00\x00\x00\x00\x50\x00\x3C\x00\x00\x00\x3B'; } \
  >"$E2E_TMP/broken.gif"
e2e_setting AniFile "$E2E_TMP/broken.gif"
e2e_start /S
expect_setup "refused frame"
e2e_no_scratch_left "refused frame"
close_setup "refused frame"
e2e_pass "a refused frame opens the setup dialog and leaves no frame file"

# 4. A 1 GB file of zeros named .gif (sparse, so the test itself costs no disk).
truncate -s 1G "$E2E_TMP/zeros.gif"
e2e_setting AniFile "$E2E_TMP/zeros.gif"
started=$(e2e_now_ms)
e2e_start /S
expect_setup "1 GB of zeros" 20
elapsed=$(( $(e2e_now_ms) - started ))
peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$E2E_PID/status")
e2e_log "1 GB of zeros: dialog after $elapsed ms, peak memory $((peak / 1024)) MB"
[ "$peak" -lt $((150 * 1024)) ] || e2e_fail "1 GB of zeros: peak memory $((peak / 1024)) MB"
e2e_no_scratch_left "1 GB of zeros"
close_setup "1 GB of zeros"
e2e_pass "a 1 GB file of zeros is refused in $elapsed ms with $((peak / 1024)) MB"

# 5. A settings file too large to be a store: the dialog opens with nothing in it, and "Save
# settings, Close" keeps the file aside whole and writes a fresh store with the dialog's values.
head -c $((17 * 1024 * 1024)) /dev/zero >"$E2E_INI"
e2e_start /C
dialog=$(e2e_wait_window "Make a Marvoscope" 5) || e2e_fail "oversized store: no setup window"
e2e_focus "$dialog" || e2e_fail "oversized store: the dialog takes no keys"
xdotool key space  # "Save settings, Close" has the focus when the dialog opens
e2e_wait_exit 3 || e2e_fail "oversized store: Save settings, Close did not end the program"
[ "$(stat -c %s "$E2E_INI.bak" 2>/dev/null)" = $((17 * 1024 * 1024)) ] || e2e_fail "oversized store: not kept aside"
[ -n "$(e2e_get_setting Mousesens)" ] && [ -n "$(e2e_get_setting BackColors)" ] ||
  e2e_fail "oversized store: the save wrote no fresh store: $(head -c 200 "$E2E_INI")"
e2e_pass "an oversized store is kept aside as .bak and the save writes a fresh one"
