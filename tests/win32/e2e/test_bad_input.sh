#!/usr/bin/env bash
# Hostile and broken input gets a calm outcome under Windows too: a frame file in use by
# another show sends this show elsewhere, no frame file is left behind, and a huge file named
# .gif is refused quickly with little memory.
source "$(dirname "$0")/lib.sh"

prog="$WORK/prog"
mkdir -p "$prog"
cp "$SCR" "$prog/Marvoscope.scr"
SCR="$prog/Marvoscope.scr"
/usr/bin/convert -delay 10 -size 40x30 xc:red xc:lime xc:blue -loop 0 "$WORK/rgb.gif" || fail "make gif"
reset_settings
set_setting Mousesens 30
set_setting BackColors 0

no_scratch_left() {
  local left; left=$(find "$prog" "$WINEPREFIX/drive_c/users" -name 'tmp*.gif' 2>/dev/null)
  [ -z "$left" ] || fail "$1: frame files left behind: $left"
}
# plays LABEL: the saver window comes up and changes colour; a key ends the show.
plays() {
  local win i c; declare -A seen=()
  win=$(wait_window Marvoscope 30) || fail "$1: no saver window"
  for i in $(seq 20); do
    c=$(pixel "$(screenshot "$1-$i")" 512 384)
    for want in 255,0,0 0,255,0 0,0,255; do near "$c" "$want" 30 && seen[$want]=1; done
    [ "${#seen[@]}" -ge 2 ] && break
  done
  [ "${#seen[@]}" -ge 2 ] || fail "$1: the picture did not change"
  press Escape "$win"
  wait_exit "$LAST_PID" 20 || fail "$1: the show did not end on a key"
}

# close_dialog WINDOW: "Save settings, Close", focused once the dialog takes input, ends the
# program; the key is pressed again until the program has ended.
close_dialog() {
  local i
  for i in $(seq 10); do
    press space "$1"
    wait_exit "$LAST_PID" 2 && return 0
  done
  fail "the setup dialog did not close"
}

# 1. A link planted as tmp.gif next to the program: the file behind it stays as it was.
echo "precious" >"$WORK/victim.txt"
ln -s "$WORK/victim.txt" "$prog/tmp.gif"
set_setting AniFile "$(winpath "$WORK/rgb.gif")"
start_scr /S
plays "planted link"
[ "$(cat "$WORK/victim.txt")" = "precious" ] || fail "planted link: the victim was written"
rm -f "$prog/tmp.gif"
no_scratch_left "planted link"
note "a planted tmp.gif link is not written through"

# 2. A refused frame: the setup dialog opens and no frame file stays behind.
{ head -c 800 "$WORK/rgb.gif"; printf '\x00\x21\xF9\x04\x00\x0A\x00\x00\x00\x2C\x00\x00\x00\x00\x28\x00\x1E\x00\x00\x00\x3B'; } \
  >"$WORK/broken.gif"
set_setting AniFile "$(winpath "$WORK/broken.gif")"
start_scr /S
dialog=$(wait_window "Make a Marvoscope" 30) || fail "refused frame: no setup window"
no_scratch_left "refused frame"
close_dialog "$dialog"
note "a refused frame opens the setup dialog and leaves no frame file"

# 3. A 1 GB file of zeros named .gif (sparse): refused within seconds, with little memory.
truncate -s 1G "$WORK/zeros.gif"
set_setting AniFile "$(winpath "$WORK/zeros.gif")"
started=$(date +%s%N)
start_scr /S
dialog=$(wait_window "Make a Marvoscope" 60) || fail "1 GB of zeros: no setup window"
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
pid=$(pgrep -f 'prog/Marvoscope.scr' | head -n1)
peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
note "1 GB of zeros: dialog after $elapsed ms, peak memory $(( ${peak:-0} / 1024 )) MB"
[ -n "$peak" ] && [ "$peak" -lt $((300 * 1024)) ] || fail "1 GB of zeros: peak memory ${peak:-unknown} kB"
no_scratch_left "1 GB of zeros"
close_dialog "$dialog"
echo "PASS"
