#!/usr/bin/env bash
# A moving picture on a --layer surface under a real sway: the picture drifts slowly (two
# screenshots a second apart show it moved by a few pixels, the way the drift goes, and are
# otherwise the same picture), within its bars when fitted whole, and with the compositor doing
# the scaling: the program's CPU is at most a quarter of its own drawing of the same frames
# (MARVOSCOPE_DRAW_MOTION=1). A slideshow's fade, drawn by the program, shows between moving
# pictures, and at scale 2 the picture starts where it is placed.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland.sh"
e2e_init "$1"
e2e_wl_init
e2e_start_sway

# Fine detail everywhere, so that any shift shows; in the screen's proportions, so that Fill
# cuts nothing off and every part of the screen is picture.
pic="$E2E_TMP/pic.png"
/usr/bin/convert -size 1600x900 -seed 7 plasma:fractal -blur 0x2 "$pic"
/usr/bin/convert "$pic" -crop 1200x900+0+0 +repage "$E2E_TMP/square.png"
chmod 644 "$pic" "$E2E_TMP/square.png"
drifts="$E2E_TMP/drifts.log"

# motion_start PICTURE PLACEMENT [OPTION...]: the moving show, its drifts logged, as the session
# user, with the variables of MOTION_ENV (VAR=VALUE).
MOTION_ENV=()
motion_start() {
  local picture=$1 placement=$2
  shift 2
  : >"$drifts" && chmod 666 "$drifts"
  (_e2e_wl_exec env MARVOSCOPE_MOTION_LOG="$drifts" "${MOTION_ENV[@]}" "$MARVOSCOPE" --layer background \
    --file "$picture" --placement "$placement" --motion "$@") >>"$E2E_TMP/marvoscope.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
  e2e_wait_until 10 drifting || e2e_fail "$placement: no drift began: $(cat "$E2E_TMP/marvoscope.log")"
}
motion_end() {
  kill -TERM "$E2E_PID"
  e2e_wait_exit 2 || e2e_fail "$1: still running two seconds after SIGTERM"
  [ "$E2E_STATUS" = 0 ] || e2e_fail "$1: status $E2E_STATUS"
}
drifting() { [ -s "$drifts" ]; }
# two_shots NAME: NAME-0 and NAME-1 a second apart, taken about E2E_AT0 and E2E_AT1 (wall
# clock ms); E2E_CHANGE their RMSE.
two_shots() {
  local t
  t=$(date +%s%3N); e2e_wl_shot "$1-0" HEADLESS-1 || e2e_fail "grim took no screenshot"
  E2E_AT0=$(( (t + $(date +%s%3N)) / 2 ))
  sleep 1
  t=$(date +%s%3N); e2e_wl_shot "$1-1" HEADLESS-1 || e2e_fail "grim took no screenshot"
  E2E_AT1=$(( (t + $(date +%s%3N)) / 2 ))
  E2E_CHANGE=$(e2e_rmse "$E2E_SHOTS/$1-0.png" "$E2E_SHOTS/$1-1.png")
}
# point_moves LINE T0 T1 X Y: how far the screen's point X,Y moves from T0 to T1 (ms) on the
# drift of the log LINE, as "dx dy", the picture's rectangle taken between its ends as the
# easing goes.
point_moves() {
  echo "$1" | awk -v t0="$2" -v t1="$3" -v x="$4" -v y="$5" 'function at(t, i,   e) {
      e = (t - start) / period; e = e < 0 ? 0 : (e > 1 ? 1 : e); e = (1 - cos(3.14159265 * e)) / 2
      return from[i] + e * (to[i] - from[i]) }
    { for (i = 1; i <= NF; i++) { split($i, kv, "="); field[kv[1]] = kv[2] }
      start = field["start_ms"]; period = field["period_ms"]
      if (split(field["from"], from, ",") != 4 || split(field["to"], to, ",") != 4 || period <= 0) exit
      fx = (x - at(t0, 1)) / at(t0, 3); fy = (y - at(t0, 2)) / at(t0, 4)
      printf "%.1f %.1f\n", at(t1, 1) + fx * at(t1, 3) - x, at(t1, 2) + fy * at(t1, 4) - y }'
}
# fastest_point LINE: of a few points of the screen, the one the drift moves most, as "x y".
fastest_point() {
  local p best="640 360" most=-1 d
  for p in "640 360" "240 140" "1040 140" "240 580" "1040 580"; do
    d=$(point_moves "$1" 0 9e15 $p | awk '{ print $1 * $1 + $2 * $2 }')
    if awk -v d="$d" -v m="$most" 'BEGIN { exit !(d > m) }'; then most=$d; best=$p; fi
  done
  echo "$best"
}
# shift_between A B X Y: where the part of screenshot A around X,Y lies in B, as "dx dy"
# (pixels, up to 24 either way), and the RMSE of that match.
shift_between() {
  /usr/bin/convert "$1" -crop "160x120+$(($3 - 80))+$(($4 - 60))" +repage "$E2E_TMP/patch.png"
  /usr/bin/convert "$2" -crop "208x168+$(($3 - 104))+$(($4 - 84))" +repage "$E2E_TMP/region.png"
  /usr/bin/compare -metric RMSE -subimage-search "$E2E_TMP/region.png" "$E2E_TMP/patch.png" null: 2>&1 |
    sed -nE 's/.*\(([0-9.e+-]+)\) @ ([0-9]+),([0-9]+).*/\2 \3 \1/p' | awk '{ print $1 - 24, $2 - 24, $3 }'
}
# mid_drift: waits for the middle of the last drift begun, where it moves fastest (the
# screenshots of a drift's start would hardly differ).
mid_drift() {
  local wake
  wake=$(tail -n1 "$drifts" | sed -nE 's/.* start_ms=([0-9]+) period_ms=([0-9]+) .*/\1 \2/p' | awk '{ printf "%.0f", $1 + 0.4 * $2 }')
  [ -n "$wake" ] || e2e_fail "the drift log says no time: $(tail -n1 "$drifts")"
  local now; now=$(date +%s%3N)
  [ "$wake" -le "$now" ] || sleep "$(awk -v a="$wake" -v b="$now" 'BEGIN { printf "%.3f", (a - b) / 1000 }')"
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
# cpu_over SECONDS: the program's CPU seconds over that long.
cpu_over() {
  local t0 t1
  t0=$(cpu_ticks "$E2E_PID"); sleep "$1"; t1=$(cpu_ticks "$E2E_PID")
  awk -v a="$t0" -v b="$t1" -v hz="$(getconf CLK_TCK)" 'BEGIN { printf "%.2f\n", (b - a) / hz }'
}

motion_start "$pic" fill
mid_drift
lines=$(wc -l <"$drifts")
two_shots fill
awk "BEGIN { exit !($E2E_CHANGE > 0.002) }" || e2e_fail "the picture stood still for a second (RMSE $E2E_CHANGE)"
read -r px py < <(fastest_point "$(tail -n1 "$drifts")")
read -r dx dy match < <(shift_between "$E2E_SHOTS/fill-0.png" "$E2E_SHOTS/fill-1.png" "$px" "$py")
[ -n "$dx" ] || e2e_fail "no shift found between the screenshots"
awk -v m="$match" 'BEGIN { exit !(m < 0.05) }' ||
  e2e_fail "a second later the screen is another picture (match RMSE $match, change $E2E_CHANGE)"
awk -v x="$dx" -v y="$dy" 'BEGIN { exit !(x * x + y * y <= 22 * 22) }' || e2e_fail "a jump of $dx,$dy pixels in a second"
e2e_pass "the picture drifts: $px,$py moved $dx,$dy pixels in a second, the same picture (RMSE $E2E_CHANGE, $match after the shift)"

# The way and the pace of the drift: the screen's point moves as the picture's point there does
# (within two pixels and a half: whole pixels found, a compositor that may place the picture
# at whole pixels only, and the screenshots' timing).
if [ "$(wc -l <"$drifts")" = "$lines" ]; then
  line=$(tail -n1 "$drifts")
  read -r wx wy < <(point_moves "$line" "$E2E_AT0" "$E2E_AT1" "$px" "$py")
  [ -n "$wy" ] || e2e_fail "the drift log says no rectangles: $line"
  awk -v dx="$dx" -v dy="$dy" -v wx="$wx" -v wy="$wy" 'BEGIN {
    exit !(dx - wx <= 2.5 && wx - dx <= 2.5 && dy - wy <= 2.5 && wy - dy <= 2.5) }' ||
    e2e_fail "moved $dx,$dy in a second where the drift ($line) moves $px,$py by $wx,$wy"
  e2e_pass "it moves as the drift goes ($px,$py by $wx,$wy from $E2E_AT0 to $E2E_AT1 ms; $line)"
else
  e2e_log "a new drift began between the screenshots: its way is not checked"
fi

scaled=$(cpu_over 10)
motion_end "the compositor scaling"
MOTION_ENV=(MARVOSCOPE_DRAW_MOTION=1)
motion_start "$pic" fill
MOTION_ENV=()
sleep 1
drawn=$(cpu_over 10)
motion_end "drawing itself"
e2e_log "CPU seconds over 10 s: the compositor scaling $scaled, drawing itself $drawn"
awk -v a="$scaled" -v b="$drawn" 'BEGIN { exit !(a * 4 <= b) }' ||
  e2e_fail "with the compositor scaling it takes $scaled s of CPU in 10 s, drawing itself $drawn s"
e2e_pass "the compositor does the scaling: $scaled s of CPU in 10 s against $drawn s drawing itself"

# Fitted whole, a 4:3 picture moves within violet bars: the columns its drift never reaches.
e2e_setting BackColors 16711808
[ "$(id -u)" = 0 ] && chown 65534:65534 "$E2E_INI"
motion_start "$E2E_TMP/square.png" fit
mid_drift
two_shots fit
awk "BEGIN { exit !($E2E_CHANGE > 0.001) }" || e2e_fail "fitted whole, the picture stood still (RMSE $E2E_CHANGE)"
bars=$(tail -n1 "$drifts" | sed -nE 's/.* from=([-0-9.]+),[-0-9.]+,([-0-9.]+),[-0-9.]+ to=([-0-9.]+),[-0-9.]+,([-0-9.]+),.*/\1 \2 \3 \4/p' |
  awk '{ l = ($1 < $3 ? $1 : $3); r = ($1 + $2 > $3 + $4 ? $1 + $2 : $3 + $4)
         if (l >= 3) printf "%d ", int(l) - 2; if (r <= 1276) printf "%d", int(r) + 2 }')
[ -n "$bars" ] || e2e_log "fitted whole: the drift leaves no bar column ($(tail -n1 "$drifts"))"
for shot in fit-0 fit-1; do
  for x in $bars; do
    for y in 0 360 719; do
      [ "$(e2e_pixel "$E2E_SHOTS/$shot.png" "$x" "$y")" = "128,0,255" ] ||
        e2e_fail "fitted whole: the bar at $x,$y of $shot is $(e2e_pixel "$E2E_SHOTS/$shot.png" "$x" "$y")"
    done
  done
  [ "$(e2e_pixel "$E2E_SHOTS/$shot.png" 640 360)" != "128,0,255" ] || e2e_fail "fitted whole: no picture in $shot"
done
motion_end "fitted whole"
e2e_pass "fitted whole, it moves within bars of the background colour (columns $bars; RMSE $E2E_CHANGE a second apart)"
# A slideshow's fade is drawn by the program over the moving picture's place: the screen shows
# the blend of a red picture and a blue one (each alone is about 183,27 or 28,185 in red and
# blue), not the moving picture over it.
mkdir -p "$E2E_TMP/slides"
/usr/bin/convert "$pic" -fill red -colorize 60% "$E2E_TMP/slides/a.png"
/usr/bin/convert "$pic" -flop -fill blue -colorize 60% "$E2E_TMP/slides/b.png"
chmod -R a+rX "$E2E_TMP/slides"
e2e_setting BackColors 0  # black between pictures: no blend
motion_start "$E2E_TMP/slides" fill --interval 2 --fade --no-shuffle
# Small and unpacked, a screenshot comes several times within the fade's second.
_blend_shown() {
  e2e_wl grim -t ppm -s 0.125 -o HEADLESS-1 "$E2E_SHOTS/fade.ppm" || return 1
  E2E_MEAN=$(/usr/bin/convert "$E2E_SHOTS/fade.ppm" -resize 1x1! -format '%[fx:int(255*r)],%[fx:int(255*b)]' info:)
  awk -v m="$E2E_MEAN" 'BEGIN { split(m, c, ","); exit !(c[1] >= 70 && c[1] <= 170 && c[2] >= 70 && c[2] <= 170) }'
}
e2e_wait_until 12 _blend_shown || e2e_fail "no fade shows between the moving pictures (last red,blue $E2E_MEAN)"
motion_end "the slideshow"
e2e_pass "the fade between two moving pictures shows (red,blue $E2E_MEAN)"
# At scale 2 the child surface's place and size are in half as many units: the first frame, at
# the drift's start, lies where the placed picture does at the output's device pixels.
e2e_wl swaymsg -q output HEADLESS-1 scale 2 || e2e_fail "sway did not scale the output"
motion_start "$pic" fill
e2e_wl_shot scaled HEADLESS-1 || e2e_fail "grim took no screenshot"
placed=$(e2e_rmse "$E2E_SHOTS/scaled.png" "$(e2e_wl_expected "$pic" 1280x720 placed)")
motion_end "at scale 2"
awk -v r="$placed" 'BEGIN { exit !(r < 0.01) }' || e2e_fail "at scale 2 the moving picture is not where placed (RMSE $placed)"
e2e_pass "at scale 2 it starts where the picture is placed (RMSE $placed)"
[ ! -s "$E2E_TMP/marvoscope.log" ] || e2e_fail "it said: $(cat "$E2E_TMP/marvoscope.log")"
