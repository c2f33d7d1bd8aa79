#!/usr/bin/env bash
# Hostile and broken input gets a calm outcome under Windows too: a frame file in use by
# another show sends this show elsewhere, no frame file is left behind, and a huge file named
# .gif is refused quickly with little memory.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"

e2e_own_folder Marvoscope.scr
prog=$(dirname "$MARVOSCOPE")
/usr/bin/convert -delay 10 -size 40x30 xc:red xc:lime xc:blue -loop 0 "$E2E_TMP/rgb.gif" || e2e_fail "make gif"
e2e_clear_settings
e2e_setting Mousesens 30
e2e_setting BackColors 0

# plays LABEL: the saver window comes up and changes colour; a key ends the show.
plays() {
  local win
  win=$(e2e_wait_window Marvoscope 30) || e2e_fail "$1: no saver window"
  e2e_wait_colours "$1" 15 || e2e_fail "$1: the picture did not change"
  e2e_press Escape "$win"
  e2e_wait_exit 20 || e2e_fail "$1: the show did not end on a key"
}

# close_dialog WINDOW: "Save settings, Close", focused when the dialog opens, ends the program.
close_dialog() {
  e2e_wait_painted "$1" 10 || e2e_fail "the setup dialog was not painted"
  e2e_press space "$1"
  e2e_wait_exit 20 || e2e_fail "the setup dialog did not close"
}

# 1. A link planted as tmp.gif next to the program: the file behind it stays as it was.
echo "precious" >"$E2E_TMP/victim.txt"
ln -s "$E2E_TMP/victim.txt" "$prog/tmp.gif"
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/rgb.gif")"
e2e_start /S
plays "planted link"
[ "$(cat "$E2E_TMP/victim.txt")" = "precious" ] || e2e_fail "planted link: the victim was written"
rm -f "$prog/tmp.gif"
e2e_no_scratch_left "planted link"
e2e_log "a planted tmp.gif link is not written through"

# 2. A refused frame: the setup dialog opens and no frame file stays behind.
{ head -c 800 "$E2E_TMP/rgb.gif"; printf '\x00\x21\xF9\x04\x00\x0A\x00\x00\x00\x2C\x00\x00\x00\x00\x28\x00\x1E\x00\x00\x00\x3B'; } \
  >"$E2E_TMP/broken.gif"
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/broken.gif")"
e2e_start /S
dialog=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "refused frame: no setup window"
e2e_no_scratch_left "refused frame"
close_dialog "$dialog"
e2e_log "a refused frame opens the setup dialog and leaves no frame file"

# 3. A 1 GB file of zeros named .gif (sparse): refused within seconds, with little memory.
truncate -s 1G "$E2E_TMP/zeros.gif"
e2e_setting AniFile "$(e2e_winpath "$E2E_TMP/zeros.gif")"
started=$(date +%s%N)
e2e_start /S
dialog=$(e2e_wait_window "Make a Marvoscope" 60) || e2e_fail "1 GB of zeros: no setup window"
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
pid=$(pgrep -f 'prog/Marvoscope.scr' | head -n1)
peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
e2e_log "1 GB of zeros: dialog after $elapsed ms, peak memory $(( ${peak:-0} / 1024 )) MB"
[ -n "$peak" ] && [ "$peak" -lt $((300 * 1024)) ] || e2e_fail "1 GB of zeros: peak memory ${peak:-unknown} kB"
e2e_no_scratch_left "1 GB of zeros"
close_dialog "$dialog"
e2e_pass "hostile input gets a calm outcome"
