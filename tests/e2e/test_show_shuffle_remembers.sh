#!/usr/bin/env bash
# A shuffled show remembers its round between starts: a folder of 20 flat-coloured pictures,
# started 30 times and ended after its second picture each time, shows all 20 before any comes
# again, and each further 20 likewise. A memory filled with garbage is passed over without a
# word, on screen or on the error output, and written anew.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024

dir="$E2E_TMP/pictures"
mkdir -p "$dir"
# Picture i is rgb(40+10i, 230-10i, 60): every one its own colour, none a named one.
for i in $(seq 0 19); do
  /usr/bin/convert -size 64x48 "xc:rgb($((40 + 10 * i)),$((230 - 10 * i)),60)" "$dir/$(printf 'p%02d' "$i").png"
done
e2e_setting AniFile "$dir"
e2e_setting Interval 2
e2e_setting Fade 0
e2e_setting Shuffle 1
e2e_setting Mousesens 15
e2e_tool colour_watch -lX11

# The pictures a watch file shows, by number, each run of one once ("" while none).
shown_in() {
  sed -nE 's/^[0-9]+ rgb\(([0-9]+),([0-9]+),60\)$/\1 \2/p' "$1" |
    awk 'BEGIN { last = -1 } ($1 - 40) % 10 == 0 && $1 + $2 == 270 {
           n = ($1 - 40) / 10; if (n != last) { printf "%s%d", (k++ ? " " : ""), n; last = n } }'
}
_shows_pictures() { local got; got=$(shown_in "$1"); [ "$(wc -w <<<"$got")" -ge "$2" ]; }

# run_show N: one start of the show, ended by the pointer once N pictures came; prints them.
run_show() {
  local watch="$E2E_TMP/watch-$2.txt" watcher
  xdotool mousemove 640 512
  "$E2E_TOOLS/colour_watch" 640 512 60 >"$watch" &
  watcher=$!
  E2E_PIDS+=("$watcher")
  e2e_start /S
  e2e_wait_until 20 _shows_pictures "$watch" "$1" || e2e_fail "start $2: only '$(shown_in "$watch")' within 20 s"
  e2e_wait_until 5 _e2e_stepped_out || e2e_fail "start $2: the show did not end on input"
  e2e_wait_exit 5 || e2e_fail "start $2: the show did not end"
  kill "$watcher" 2>/dev/null; wait "$watcher" 2>/dev/null
  shown_in "$watch"
}

seen=()
for start in $(seq 1 30); do
  got=$(run_show 2 "$start")
  [ "$(wc -w <<<"$got")" -eq 2 ] || e2e_fail "start $start showed '$got', not two pictures"
  seen+=($got)
done
e2e_log "pictures in the order shown: ${seen[*]}"
for round in 0 1 2; do
  distinct=$(printf '%s\n' "${seen[@]:$((round * 20)):20}" | sort -u | wc -l)
  [ "$distinct" -eq 20 ] || e2e_fail "pictures $((round * 20 + 1)) to $((round * 20 + 20)) hold only $distinct of the 20"
done
e2e_pass "30 starts of two pictures: every 20 in a row are all 20 pictures"

memory=$(ls "$XDG_CACHE_HOME"/marvoscope/round-*.txt 2>/dev/null)
[ "$(wc -w <<<"$memory")" -eq 1 ] || e2e_fail "not one round file in the cache folder: '$memory'"
[ "$(stat -c %a "$XDG_CACHE_HOME/marvoscope")" = 700 ] || e2e_fail "the cache folder is open to others"
size=$(stat -c %s "$memory")
e2e_log "the round of 20 pictures takes $size bytes"

head -c 3000 /dev/urandom >"$memory"
lines=$(wc -l <"$E2E_TMP/marvoscope.log")
got=$(run_show 1 garbage)
[ -n "$got" ] || e2e_fail "no picture after the memory was damaged"
said=$(tail -n +"$((lines + 1))" "$E2E_TMP/marvoscope.log")
[ -z "$said" ] || e2e_fail "the damaged memory was talked about: $said"
head -c 19 "$memory" | grep -q '^Marvoscope round 2 ' || e2e_fail "the damaged memory was not written anew"
e2e_pass "garbage in the memory: picture $got shown without a word, the memory written anew"
