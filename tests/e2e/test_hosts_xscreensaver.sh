#!/usr/bin/env bash
# Xscreensaver's settings page for Marvoscope (its hack description) gives, for each choice, the
# command line that does it, and the hosted show does what was chosen: a number of seconds, a
# Shuffle or Fade that overrides the stored one either way, a placement, and "as in Marvoscope's
# settings" for each. Then, under the real xscreensaver (Debian's), with the built program as its
# one hack: the picture on activation, a GIF that plays, and the hack gone soon after
# deactivation or xscreensaver's end.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/hosts.sh"
e2e_init "$1"
command -v xscreensaver >/dev/null || e2e_fail "xscreensaver is not installed"
e2e_start_xvfb 640x480
xml="$(cd "$(dirname "$0")/../.." && pwd)/packaging/marvoscope.xml"

# xss_args ID=VALUE...: the hack's arguments, one a line, for these choices on its settings page
# (the rest left as the page starts), made as xscreensaver makes them: a number at its default
# and a menu entry without arg-set add nothing.
xss_args() {
  /usr/bin/python3 - "$xml" "$@" <<'PY'
import shlex, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
chosen = dict(a.split("=", 1) for a in sys.argv[2:])
known = {e.get("id") for e in root.iter() if e.get("id")}
for k in chosen:
    if k not in known: sys.exit("no setting '%s' on the page" % k)
args = []
for e in root.iter():
    if e.tag == "command":
        args += shlex.split(e.get("arg"))
    elif e.tag == "number":
        value = float(chosen.get(e.get("id"), e.get("default")))
        if not float(e.get("low")) <= value <= float(e.get("high")): sys.exit("%s: %g is off the field" % (e.get("id"), value))
        if value != float(e.get("default")):
            args += [a.replace("%", "%d" % value) for a in shlex.split(e.get("arg"))]
    elif e.tag == "file" and chosen.get(e.get("id")):
        args += [a.replace("%", chosen[e.get("id")]) for a in shlex.split(e.get("arg"))]
    elif e.tag == "select":
        options = e.findall("option")
        pick = chosen.get(e.get("id"), options[0].get("id"))
        option = [o for o in options if o.get("id") == pick]
        if not option: sys.exit("%s: no option '%s'" % (e.get("id"), pick))
        args += shlex.split(option[0].get("arg-set") or "")
    elif e.tag == "boolean":
        args += shlex.split(e.get("arg-set" if chosen.get(e.get("id"), "1") == "1" else "arg-unset") or "")
print("\n".join(args))
PY
}
# xss_kind ID: the widget xscreensaver makes for a setting, and the labels of a menu's entries.
xss_kind() {
  /usr/bin/python3 - "$xml" "$1" <<'PY'
import sys, xml.etree.ElementTree as ET
for e in ET.parse(sys.argv[1]).getroot().iter():
    if e.get("id") == sys.argv[2]:
        print(e.get("type") or e.tag, *["|" + o.get("_label") for o in e.findall("option")])
PY
}

# 1. The page. The interval is a field of seconds that shows its number and reaches 3; its
#    default, left off the command line, keeps the stored interval. Shuffle, Fade, the
#    placement, the caption, the clock and the pan and zoom are menus whose entries say what they choose, the first one "as stored".
[[ $(xss_kind interval) == spinbutton ]] || e2e_fail "the interval is a '$(xss_kind interval)', not a field with its number"
[ "$(xss_args)" = "--root" ] || e2e_fail "the page as it starts adds '$(xss_args | tr '\n' ' ')' to --root"
[ "$(xss_args interval=3 | tr '\n' ' ')" = "--root --interval 3 " ] || e2e_fail "3 seconds gives: $(xss_args interval=3 | tr '\n' ' ')"
for menu in shuffle:Shuffle fade:Fade placement:Placement caption:Caption clock:Clock "motion:Slow pan and zoom"; do
  kind=$(xss_kind "${menu%%:*}")
  [[ $kind == "select |${menu#*:}: as in Marvoscope's settings |${menu#*:}: "* ]] ||
    e2e_fail "the ${menu%%:*} menu: $kind"
done
for c in shuffle=shuffle-on:--shuffle shuffle=shuffle-off:--no-shuffle fade=fade-on:--fade fade=fade-off:--no-fade \
         placement=stretch:"--placement stretch" placement=fit:"--placement fit" placement=fill:"--placement fill" \
         placement=blur:"--placement blur" caption=caption-none:"--caption none" \
         caption=caption-date-place:"--caption date,place" clock=clock-on:--clock clock=clock-off:--no-clock \
         motion=motion-on:--motion motion=motion-off:--no-motion; do
  [ "$(xss_args "${c%%:*}" | tr '\n' ' ')" = "--root ${c#*:} " ] || e2e_fail "${c%%:*} gives: $(xss_args "${c%%:*}" | tr '\n' ' ')"
done
e2e_pass "the page: a field of seconds, three-way Shuffle, Fade, caption and clock menus, a labelled placement menu, each giving its option"

# 2. The show follows the page. Eight pictures of plain colours, narrower than the window, so
#    that "Whole picture" leaves bars of the background colour at its sides.
dir="$E2E_TMP/eight"
mkdir -p "$dir"
colours=(red lime blue white yellow cyan magenta orange)
for i in "${!colours[@]}"; do /usr/bin/convert -size 100x240 "xc:${colours[$i]}" "$dir/p$i.png"; done
e2e_setting AniFile "$E2E_TMP/elsewhere.jpg"
e2e_setting BackColors 8388736    # 128,0,128
e2e_setting Placement Stretch
e2e_host_window 100 100 320 240
# watch_show LABEL SECONDS ID=VALUE...: runs the hosted show with the page's arguments for these
# choices (and the folder), watches the window's centre, and leaves the pictures' runs in
# $E2E_TMP/runs.txt ("INDEX MS", a fade's mixed colours left out and counted in $blends) and
# the colour at the window's left edge in $edge.
watch_show() {
  local label=$1 seconds=$2; shift 2
  mapfile -t args < <(xss_args file="$dir" "$@")
  e2e_log "$label: marvoscope ${args[*]}"
  # --root draws in XSCREENSAVER_WINDOW, as under xscreensaver; here that is the host window.
  e2e_start "${args[@]}"
  e2e_colour_watch 260 220 "$seconds" >"$E2E_TMP/watch.txt"
  e2e_screenshot "xss-$label"
  edge=$(e2e_pixel "$E2E_SHOT" 104 220)
  kill -TERM "$E2E_PID"; e2e_wait_exit 2 || e2e_fail "$label: SIGTERM did not end the show"
  awk '
    $2 == "red" { p = 0 } $2 == "green" { p = 1 } $2 == "blue" { p = 2 } $2 == "white" { p = 3 }
    $2 == "rgb(255,255,0)" { p = 4 } $2 == "rgb(0,255,255)" { p = 5 } $2 == "rgb(255,0,255)" { p = 6 }
    $2 == "rgb(255,165,0)" { p = 7 }
    # Before the first picture: the host window'"'"'s own grey, black, the background colour.
    last == "" && ($2 == "black" || $2 == "rgb(128,128,128)" || $2 == "rgb(128,0,128)") { next }
    { if (p == "") { mixed++; next } if (p != last) { if (last != "") print last, $1 - since; last = p; since = $1 } p = "" }
    END { print mixed + 0 > "/dev/stderr" }
  ' "$E2E_TMP/watch.txt" >"$E2E_TMP/runs.txt" 2>"$E2E_TMP/mixed.txt"
  blends=$(cat "$E2E_TMP/mixed.txt")
  e2e_log "$label: pictures and their ms: $(tr '\n' ' ' <"$E2E_TMP/runs.txt"); $blends mixed colours; left edge $edge"
}
# in_name_order: the pictures came in name order (p0, p1, ..., p7, p0, ...), after the first one
# the folder's reading found, which the first round then leaves out.
in_name_order() {
  awk 'NR == 1 { first = $1 }
       NR > 2 && $1 != (last + 1) % 8 && !((last + 1) % 8 == first && $1 == (last + 2) % 8) { bad = 1 }
       { last = $1 } END { exit bad }' "$E2E_TMP/runs.txt"
}
# runs_last LOW HIGH: every whole run (not the first, cut by the watch's start) lasted LOW..HIGH ms.
runs_last() { awk -v lo="$1" -v hi="$2" 'NR > 1 && ($2 < lo || $2 > hi) { bad = 1 } END { exit bad }' "$E2E_TMP/runs.txt"; }

# Stored: 30 s, in name order, fading. Chosen: 3 s, Shuffle as stored, Fade off, Whole picture.
e2e_setting Interval 30; e2e_setting Shuffle 0; e2e_setting Fade 1
export XSCREENSAVER_WINDOW=$E2E_HOST_ID
watch_show three-seconds 13 interval=3 fade=fade-off placement=fit
[ "$(wc -l <"$E2E_TMP/runs.txt")" -ge 4 ] || e2e_fail "3 s chosen: fewer than four pictures in 13 s"
runs_last 2700 3300 || e2e_fail "3 s chosen over a stored 30: a picture did not stay 3 s"
in_name_order || e2e_fail "Shuffle as stored (off): not in name order"
[ "$blends" -eq 0 ] || e2e_fail "Fade off chosen over a stored on: $blends mixed colours"
[ "$edge" = 128,0,128 ] || e2e_fail "Whole picture chosen: the window's edge is $edge, not the background colour"
e2e_pass "3 s, Fade off and Whole picture chosen over the stored 30 s, fade and stretch; Shuffle as stored"

# Stored: 2 s, in name order, cut. Chosen: the interval as stored, Shuffle on, Fade on, and the
# placement as stored (stretched).
e2e_setting Interval 2; e2e_setting Shuffle 0; e2e_setting Fade 0
watch_show shuffled 21 shuffle=shuffle-on fade=fade-on
[ "$(wc -l <"$E2E_TMP/runs.txt")" -ge 6 ] || e2e_fail "the stored 2 s: fewer than six pictures in 21 s"
# Each picture stays 2 s, then fades into the next for a second.
runs_last 1800 3500 || e2e_fail "the interval as stored (2 s): a picture did not stay 2 s and its fade"
# Five changes in a row in name order by chance: about once in 17,000 shuffled rounds.
! in_name_order || e2e_fail "Shuffle on chosen over a stored off: the pictures came in name order"
[ "$blends" -gt 0 ] || e2e_fail "Fade on chosen over a stored off: no mixed colours between pictures"
[ "$edge" != 128,0,128 ] || e2e_fail "the placement as stored (stretch): bars at the window's edge"
e2e_pass "Shuffle and Fade on chosen over the stored off; interval and placement as stored"
unset XSCREENSAVER_WINDOW

# 3. Under xscreensaver.
e2e_host_user_setup "$MARVOSCOPE"
e2e_host_pictures
trap 'e2e_stop_pattern "$E2E_USER_BIN/"; e2e_cleanup' EXIT

e2e_xscreensaver_start "$E2E_USER_BIN/marvoscope --root"
e2e_xscreensaver_round xscreensaver "$E2E_USER_BIN/marvoscope"
e2e_pass "xscreensaver shows the picture, plays a GIF and ends the hack"
