#!/usr/bin/env bash
# A folder as the picture: three solid-colour JPGs, a PNG, a small GIF and a file that is no
# picture, "Interval" 2. Sampling the screen's centre sees every picture, each still for 2 s,
# no picture twice within a round and the bad file skipped with one line; with "Fade" on, a
# change passes through the blend of the two colours.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
e2e_start_xvfb 1280x1024

dir="$E2E_TMP/pictures"
mkdir -p "$dir"
/usr/bin/convert -size 320x240 xc:red "$dir/a1.jpg"
/usr/bin/convert -size 320x240 xc:lime "$dir/a2.jpg"
/usr/bin/convert -size 320x240 xc:blue "$dir/a3.jpg"
/usr/bin/convert -size 200x300 xc:yellow "$dir/p.png"
/usr/bin/convert -delay 20 -size 100x100 xc:magenta xc:cyan xc:white -loop 0 "$dir/g.gif"
head -c 400 /dev/urandom >"$dir/bad.jpg"
e2e_setting AniFile "$dir"
e2e_setting Interval 2
e2e_setting Fade 0
e2e_setting Mousesens 15

xdotool mousemove 640 512
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s"
e2e_colour_watch 640 512 16 >"$E2E_TMP/watch.txt"
e2e_log "centre colour changes: $(tr '\n' ' ' <"$E2E_TMP/watch.txt")"

# One name a picture (the GIF's three frames are one), each run with its length in ms.
awk '
  function pic(c) {
    if (c == "red" || c == "green" || c == "blue") return c
    if (c ~ /^rgb\(2[0-9][0-9],2[0-9][0-9],[0-9]?[0-9]\)$/) return "yellow"
    if (c == "white" || c ~ /^rgb\(2[0-9][0-9],[0-9]?[0-9],2[0-9][0-9]\)$/ || c ~ /^rgb\([0-9]?[0-9],2[0-9][0-9],2[0-9][0-9]\)$/) return "gif"
    return "other:" c
  }
  NR == 1 && $2 == "black" { next }  # the window before its first paint
  { p = pic($2); if (p != last) { if (last != "") print last, $1 - since; last = p; since = $1 } }
' "$E2E_TMP/watch.txt" >"$E2E_TMP/runs.txt"
e2e_log "pictures and their ms: $(tr '\n' ' ' <"$E2E_TMP/runs.txt")"
for p in red green blue yellow gif; do
  grep -q "^$p " "$E2E_TMP/runs.txt" || e2e_fail "the $p picture never showed"
done
grep -q "^other" "$E2E_TMP/runs.txt" && e2e_fail "a colour no picture has showed"
e2e_pass "every picture showed"
# Every whole run of a still (not the first, cut by the watch's start) lasts 2 s +- 0.3 s.
awk 'NR > 1 && $1 != "gif" && ($2 < 1700 || $2 > 2300) { bad = bad " " $0 } END { if (bad) { print bad; exit 1 } }' \
  "$E2E_TMP/runs.txt" >"$E2E_TMP/bad-runs.txt" || e2e_fail "a still did not stay 2 s:$(cat "$E2E_TMP/bad-runs.txt")"
e2e_pass "each still stayed 2 s +- 0.3 s"
# The first five pictures are a round's five readable pictures: none twice.
first=$(head -n5 "$E2E_TMP/runs.txt" | cut -d' ' -f1 | sort | uniq -d)
[ -z "$first" ] || e2e_fail "within the first round $first showed twice"
e2e_pass "no picture twice within a round"
# Tried once a round, and 16 s hold at most two rounds of five.
skips=$(grep -c "skipped .*bad.jpg" "$E2E_TMP/marvoscope.log")
[ "$skips" -ge 1 ] && [ "$skips" -le 2 ] || e2e_fail "the bad file was reported $skips times"
e2e_alive || e2e_fail "the show ended by itself"
e2e_end_animated_show
e2e_pass "the bad file was skipped with one line; the pointer ended the show"

# Fades: between two stills the centre passes through a colour neither of them has.
rm "$dir/g.gif"
e2e_setting Fade 1
e2e_start /S
e2e_wait_window Marvoscope 5 >/dev/null || e2e_fail "no saver window within 5 s (fade)"
e2e_colour_watch 640 512 7 >"$E2E_TMP/fade.txt"
e2e_log "centre colour changes with fades: $(tr '\n' ' ' <"$E2E_TMP/fade.txt" | cut -c1-600)"
blends=$(grep -c 'rgb(' "$E2E_TMP/fade.txt")
[ "$blends" -ge 10 ] || e2e_fail "only $blends blended samples during the fades"
e2e_pass "changes fade ($blends blended samples)"
e2e_end_animated_show
e2e_pass "input ended the show"
