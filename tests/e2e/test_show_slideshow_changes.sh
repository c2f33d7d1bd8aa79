#!/usr/bin/env bash
# A running slideshow whose folder changes under it ("Interval" 2, Shuffle off, no fades): the
# picture on screen deleted, one waiting its turn cut short, one written anew; then the folder
# gone, and a file in its place; a GIF still being written when its turn comes. The show goes
# on with what it can show, says one line of each, and ends on input as always. Intervals of 0,
# -1, 1000000000 and "abc", stored or given with --interval, are said in one line too.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024
e2e_tool colour_watch -lX11

# pictures WATCH: the watched colours as pictures (red, green, blue, yellow; "gif" for the GIF's
# frames; "other:..." for anything else), repeats merged, on one line.
pictures() {
  { cat "$1"; echo "999999 end"; } >"$1.ended"
  e2e_slide_runs "$1.ended" | cut -d' ' -f1 | awk '$1 != last { printf "%s%s", (n++ ? " " : ""), $1; last = $1 } END { print "" }'
}
lines() { grep -c "$1" "$E2E_TMP/marvoscope.log"; }

dir="$E2E_TMP/pictures"
mkdir -p "$dir"
/usr/bin/convert -size 320x240 xc:red "$dir/a1.jpg"
/usr/bin/convert -size 320x240 xc:lime "$dir/a2.jpg"
/usr/bin/convert -size 320x240 xc:blue "$dir/a3.png"
e2e_setting AniFile "$dir"
e2e_setting Interval 2
e2e_setting Shuffle 0
e2e_setting Fade 0
e2e_setting Mousesens 15

xdotool mousemove 640 512
e2e_start /S
e2e_wait_pixel first 640 512 255,0,0 5 40 || e2e_fail "the show did not begin with its first picture"
# While the first shows (the second is ready already): it is deleted, the third is cut short and
# the second is written anew in yellow.
rm "$dir/a1.jpg"
head -c $(( $(stat -c %s "$dir/a3.png") / 2 )) "$dir/a3.png" >"$E2E_TMP/cut.png" && mv "$E2E_TMP/cut.png" "$dir/a3.png"
/usr/bin/convert -size 320x240 xc:yellow "$E2E_TMP/new.jpg" && mv "$E2E_TMP/new.jpg" "$dir/a2.jpg"
e2e_colour_watch 640 512 8 >"$E2E_TMP/files.txt"
seen=$(pictures "$E2E_TMP/files.txt")
e2e_log "pictures while the files changed: $seen"
[ "$seen" = "red green yellow" ] || e2e_fail "not red, green, then the picture written anew: $seen"
[ "$(lines 'skipped .*a3.png')" -ge 1 ] || e2e_fail "no line names the picture cut short"
e2e_pass "the deleted picture went, the one cut short was skipped with a line, the one written anew showed"

rm -rf "$dir"
e2e_wait_until 8 grep -q "no picture in" "$E2E_TMP/marvoscope.log" || e2e_fail "no line says the folder is gone"
echo "not a folder" >"$dir"
e2e_colour_watch 640 512 5 >"$E2E_TMP/gone.txt"
[ "$(awk '{ print $2 }' "$E2E_TMP/gone.txt" | sort -u | grep -cv '^rgb(2[0-9][0-9],2[0-9][0-9],[0-9]*)$')" -eq 0 ] ||
  e2e_fail "the picture on screen did not stay: $(tr '\n' ' ' <"$E2E_TMP/gone.txt")"
[ "$(lines 'no picture in')" -eq 1 ] || e2e_fail "the folder gone was said $(lines 'no picture in') times"
e2e_alive || e2e_fail "the show ended by itself"
e2e_end_animated_show
e2e_pass "with the folder gone, and a file in its place, the picture on screen stayed, said once; input ended the show"

# A GIF still being written: half of it when its turn comes, the rest a second later.
gifs="$E2E_TMP/gifs"
mkdir -p "$gifs"
/usr/bin/convert -size 320x240 xc:red "$gifs/a.jpg"
/usr/bin/convert -delay 20 -size 100x100 xc:magenta xc:cyan xc:white -loop 0 "$E2E_TMP/whole.gif"
head -c $(( $(stat -c %s "$E2E_TMP/whole.gif") / 2 )) "$E2E_TMP/whole.gif" >"$gifs/b.gif"
e2e_setting AniFile "$gifs"
: >"$E2E_TMP/marvoscope.log"
e2e_start /S
e2e_wait_pixel gif-first 640 512 255,0,0 5 40 || e2e_fail "the show with a GIF being written did not begin"
e2e_colour_watch 640 512 1 >/dev/null
cp "$E2E_TMP/whole.gif" "$gifs/b.gif"
e2e_colour_watch 640 512 7 >"$E2E_TMP/gif.txt"
seen=$(pictures "$E2E_TMP/gif.txt")
e2e_log "pictures with a GIF being written: $seen; said: $(grep -c . "$E2E_TMP/marvoscope.log") lines"
[[ " $seen " == *" gif "* ]] || e2e_fail "the GIF never played once written: $seen"
[[ "$seen" != *other* ]] || e2e_fail "a colour no picture has showed: $seen"
e2e_end_animated_show
e2e_pass "a GIF being written played once written, and nothing else showed meanwhile"

# Intervals that cannot be used: stored, and given to a hosted show.
for interval in 0 -1 1000000000 abc; do
  e2e_setting AniFile "$gifs"
  e2e_setting Interval "$interval"
  : >"$E2E_TMP/marvoscope.log"
  e2e_start /S
  e2e_wait_until 5 grep -q "interval of '$interval'" "$E2E_TMP/marvoscope.log" || e2e_fail "stored Interval $interval: no line"
  e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "stored Interval $interval: no show"
  e2e_end_animated_show
  [ "$(lines interval)" -eq 1 ] || e2e_fail "stored Interval $interval: $(lines interval) lines"
done
e2e_setting Interval 30
mkdir -p "$E2E_TMP/red"
cp "$gifs/a.jpg" "$E2E_TMP/red/"
e2e_host_window 100 100 320 240
for interval in 0 -1 1000000000 abc; do
  : >"$E2E_TMP/marvoscope.log"
  e2e_start --window-id "$E2E_HOST_ID" --file "$E2E_TMP/red" --interval "$interval"
  e2e_wait_until 5 grep -q "'$interval'" "$E2E_TMP/marvoscope.log" || e2e_fail "--interval $interval: no line"
  e2e_wait_pixel "hosted-$interval" 260 220 255,0,0 5 40 || e2e_fail "--interval $interval: no show"
  e2e_ends_on TERM "--interval $interval"
  [ "$(lines "'$interval'")" -eq 1 ] || e2e_fail "--interval $interval: $(lines "'$interval'") lines"
done
e2e_pass "intervals that cannot be used are said in one line, stored or given, and the show goes on"
