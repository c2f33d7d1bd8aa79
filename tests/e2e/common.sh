# Helpers shared by the end-to-end checks of both builds: the Linux program under Xvfb
# (tests/e2e/lib.sh) and Marvoscope.scr under Wine (tests/win32/e2e/lib.sh). Each side's lib.sh
# sources this file and adds what only it has: how the program starts and where its settings
# live. Every wait here ends on an event (a window, a pixel, an exit) or at its deadline.
#
#   e2e_program FILE               the program under test (MARVOSCOPE), checked to exist
#   e2e_own_folder NAME            a copy of the program alone in a folder, for its scratch file
#   e2e_no_scratch_left LABEL      fails when a frame file stayed next to the program or in the
#                                  side's scratch places (e2e_scratch_places)
#   e2e_start ARGS...              the program in the background (E2E_PID); log in $E2E_TMP
#   e2e_wait_window TITLE [S]      prints the id once a visible window has exactly this title
#   e2e_wait_no_window TITLE [S]   until no visible window has this title
#   e2e_wait_painted ID [S]        until the window shows more than a blank area
#   e2e_wait_exit [S] [PID]        E2E_STATUS holds the exit status
#   e2e_screenshot NAME            the screen into $E2E_SHOTS/NAME.png, path in E2E_SHOT
#   e2e_wait_pixel NAME X Y R,G,B [S] [TOLERANCE]; e2e_wait_picture NAME EXPECTED RMSE [S]
#   e2e_pixel FILE X Y; e2e_near C1 C2 [TOLERANCE]; e2e_rmse A B
#   e2e_compose_frames / e2e_compose_watch: an animated show against a GIF viewer's frames
#   e2e_placement_round / e2e_blur_round / e2e_monitors_differ: the placement, blurred-bars and
#                                  different-monitor checks of both builds
#   e2e_roughness IMAGE            mean absolute Laplacian: 0 for an even picture
#   e2e_log / e2e_pass / e2e_fail / e2e_skip
# MARVOSCOPE_SHOTS names a folder that keeps the screenshots; otherwise they go with the run.
set -uo pipefail

E2E_PIDS=()       # programs started here, stopped when the check ends
E2E_SERVERS=()    # X servers started here, stopped after the programs
E2E_PID=""
E2E_STATUS=""
E2E_SHOT=""
E2E_LAUNCHER=""   # a command the program runs under ("wine"), or nothing
E2E_STOP_SIGNAL=TERM

e2e_log() { echo "[e2e] $*" >&2; }
e2e_pass() { e2e_log "ok: $*"; }
e2e_skip() { e2e_log "SKIP: $*"; exit 0; }
e2e_fail() {
  e2e_log "FAIL: $*"
  [ -s "${E2E_TMP:-}/marvoscope.log" ] && sed 's/^/[marvoscope] /' "$E2E_TMP/marvoscope.log" >&2
  exit 1
}

# What a side must stop beyond the programs and X servers (a Wine server); nothing by default.
e2e_side_cleanup() { :; }
# Where a side's program may put a frame file besides its own folder, one a line.
e2e_scratch_places() { :; }

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill -"$E2E_STOP_SIGNAL" "$pid" 2>/dev/null; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  e2e_side_cleanup
  for pid in "${E2E_SERVERS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  [ -n "${E2E_TMP:-}" ] && [ -d "$E2E_TMP" ] && [ -z "${E2E_KEEP:-}" ] && rm -rf "$E2E_TMP"
}

# e2e_workdir: a throw-away folder for the check ($E2E_TMP), removed with all it started.
e2e_workdir() {
  E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/marvoscope-e2e.XXXXXX")
  E2E_SHOTS="${MARVOSCOPE_SHOTS:-$E2E_TMP/shots}"
  mkdir -p "$E2E_SHOTS"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
}

# e2e_program FILE: the program under test, by its full path; a usage note when it is missing.
e2e_program() {
  [ -n "${1:-}" ] || { echo "usage: bash $0 path/to/the/program" >&2; exit 2; }
  MARVOSCOPE=$(readlink -f "$1")
  [ -f "$MARVOSCOPE" ] || { echo "no such program: $1" >&2; exit 2; }
}

# e2e_own_folder NAME: the program copied alone into a folder of its own ($E2E_TMP/prog, as
# NAME), so that its scratch file lands there; MARVOSCOPE becomes the copy.
e2e_own_folder() {
  mkdir -p "$E2E_TMP/prog"
  cp "$MARVOSCOPE" "$E2E_TMP/prog/$1" || e2e_fail "cannot copy the program"
  MARVOSCOPE="$E2E_TMP/prog/$1"
}

# e2e_no_scratch_left LABEL: no frame file stayed next to the program or in the side's
# scratch places.
e2e_no_scratch_left() {
  local places left
  mapfile -t places < <(e2e_scratch_places)
  left=$(find "$(dirname "$MARVOSCOPE")" "${places[@]}" -name 'tmp*.gif' 2>/dev/null)
  [ -z "$left" ] || e2e_fail "$1: frame files left behind: $left"
}

# e2e_now_ms: milliseconds since the epoch.
e2e_now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $(( t / 1000 )); }

# e2e_wait_until SECONDS COMMAND...: runs COMMAND until it succeeds, every 50 ms; 1 when the
# deadline passes first.
e2e_wait_until() {
  local deadline
  deadline=$(( $(e2e_now_ms) + $(awk "BEGIN { print int($1 * 1000) }") ))
  shift
  until "$@"; do
    [ "$(e2e_now_ms)" -ge "$deadline" ] && return 1
    sleep 0.05
  done
}

# e2e_start_x_server SERVER ARGS...: an X server on a free display number, which the server
# itself tells; exports DISPLAY.
_e2e_display_ready() { xdpyinfo >/dev/null 2>&1; }
e2e_start_x_server() {
  local fifo="$E2E_TMP/displayfd.$RANDOM" display=""
  command -v "$1" >/dev/null || e2e_fail "$1 is not installed"
  mkfifo "$fifo"
  "$@" -displayfd 9 -nolisten tcp 9>"$fifo" 2>>"$E2E_TMP/xserver.log" &
  E2E_SERVERS+=("$!")
  read -r -t 15 display <"$fifo" || true
  rm -f "$fifo"
  [ -n "$display" ] || e2e_fail "$1 did not start: $(cat "$E2E_TMP/xserver.log")"
  export DISPLAY=":$display"
  e2e_wait_until 5 _e2e_display_ready || e2e_fail "display $DISPLAY not ready"
}

# e2e_start_xvfb [WxH]: a private virtual screen, 24-bit colour.
e2e_start_xvfb() { e2e_start_x_server Xvfb -screen 0 "${1:-1280x1024}x24" -noreset; }

# e2e_start ARGS...: runs the program in the background; its output goes to the check's log.
e2e_start() {
  $E2E_LAUNCHER "$MARVOSCOPE" "$@" >>"$E2E_TMP/marvoscope.log" 2>&1 &
  E2E_PID=$!
  E2E_PIDS+=("$E2E_PID")
}

e2e_alive() { kill -0 "${1:-$E2E_PID}" 2>/dev/null; }
e2e_gone() { ! e2e_alive "$1"; }

# e2e_wait_exit [SECONDS] [PID]: waits for the program to end; E2E_STATUS = its status.
e2e_wait_exit() {
  local limit=${1:-5} pid=${2:-$E2E_PID}
  e2e_wait_until "$limit" e2e_gone "$pid" || return 1
  wait "$pid"; E2E_STATUS=$?
  return 0
}

# e2e_find_window TITLE: ids of mapped windows with exactly this title (nothing when none).
e2e_find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

_e2e_window_id=""
_e2e_has_window() { _e2e_window_id=$(e2e_find_window "$1" | head -n1); [ -n "$_e2e_window_id" ]; }
_e2e_no_window() { ! _e2e_has_window "$1"; }

# e2e_wait_window TITLE [SECONDS]: prints the window id once such a window is visible.
e2e_wait_window() {
  e2e_wait_until "${2:-5}" _e2e_has_window "$1" || return 1
  echo "$_e2e_window_id"
}
# e2e_wait_no_window TITLE [SECONDS]: until no window of this title is visible.
e2e_wait_no_window() { e2e_wait_until "${2:-5}" _e2e_no_window "$1"; }

# e2e_grab FILE: the whole screen as the X server shows it.
e2e_grab() { import -display "$DISPLAY" -window root "$1" 2>/dev/null; }

# e2e_screenshot NAME: the screen into $E2E_SHOTS/NAME.png; E2E_SHOT holds the path.
e2e_screenshot() {
  E2E_SHOT="$E2E_SHOTS/$1.png"
  e2e_grab "$E2E_SHOT" || e2e_fail "cannot take screenshot $1"
}

# e2e_pixel IMAGE X Y: the colour of one pixel as "r,g,b" (0-255).
e2e_pixel() {
  /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:
}

# e2e_near C1 C2 [TOLERANCE]: two "r,g,b" colours within TOLERANCE (default 40) per channel.
e2e_near() {
  local IFS=,; local a=($1) b=($2) t=${3:-40} i d
  [ ${#a[@]} -eq 3 ] && [ ${#b[@]} -eq 3 ] || return 1
  for i in 0 1 2; do d=$(( a[i] - b[i] )); [ ${d#-} -le "$t" ] || return 1; done
}

# e2e_rmse A B: normalised root-mean-square difference of two pictures, 0 (same) to 1.
e2e_rmse() {
  /usr/bin/compare -metric RMSE "$1" "$2" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/'
}

_e2e_pixel_is() { e2e_screenshot "$1"; e2e_near "$(e2e_pixel "$E2E_SHOT" "$2" "$3")" "$4" "$5"; }
# e2e_wait_pixel NAME X Y R,G,B [SECONDS] [TOLERANCE]: screenshots NAME until the pixel at X,Y
# shows the colour (within TOLERANCE, default 0); E2E_SHOT is the last one.
e2e_wait_pixel() { e2e_wait_until "${5:-5}" _e2e_pixel_is "$1" "$2" "$3" "$4" "${6:-0}"; }

E2E_RMSE=""
_e2e_picture_is() {
  e2e_screenshot "$1"
  E2E_RMSE=$(e2e_rmse "$E2E_SHOT" "$2")
  awk "BEGIN { exit !($E2E_RMSE < $3) }"
}
# e2e_wait_picture NAME EXPECTED LIMIT [SECONDS]: screenshots NAME until it differs from the
# picture EXPECTED by an RMSE below LIMIT; E2E_RMSE holds the last difference.
e2e_wait_picture() { e2e_wait_until "${4:-5}" _e2e_picture_is "$1" "$2" "$3"; }

_e2e_painted() {
  local X Y WIDTH HEIGHT SCREEN WINDOW colours
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  [ -n "${WIDTH:-}" ] || return 1
  colours=$(import -display "$DISPLAY" -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage png:- 2>/dev/null |
    /usr/bin/convert - -format %k info: 2>/dev/null)
  [ "${colours:-0}" -gt 2 ]
}
# e2e_wait_painted ID [SECONDS]: until the window's area shows more than the two colours of
# the bare screen, that is, the program has painted its controls.
e2e_wait_painted() { e2e_wait_until "${2:-5}" _e2e_painted "$1"; }

# e2e_focus ID [SECONDS]: gives the window the keyboard and waits until the X server says so.
# No window manager runs, so nothing else hands the focus to a new window.
_e2e_focused() { xdotool windowfocus "$1" 2>/dev/null; [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
e2e_focus() { e2e_wait_until "${2:-5}" _e2e_focused "$1"; }

# e2e_compose_frames GIF BGHEX WxH DIR: writes the frames a GIF viewer shows, over the stored
# background colour and stretched to the screen, to DIR/frame-NNN.png (ImageMagick coalesces,
# and stretches with the bilinear filter the program uses).
e2e_compose_frames() {
  mkdir -p "$4"
  /usr/bin/convert "$1" -coalesce -background "$2" -alpha remove -alpha off -filter Triangle -resize "$3!" \
    "$4/frame-%03d.png"
}

# e2e_compose_match SHOT DIR LIMIT [FRAME]: "RMSE FRAME" of the first frame in DIR, from FRAME
# (the one matched last) on and round the end, that SHOT matches with an RMSE below LIMIT; of
# the closest frame when none does. A show moves forward, so the search is short.
e2e_compose_match() {
  local frames=("$2"/frame-*.png) start=0 i n f r best=9 name=""
  n=${#frames[@]}
  for i in "${!frames[@]}"; do [ "$(basename "${frames[i]}" .png)" = "${4:-}" ] && start=$i; done
  for ((i = 0; i < n; i++)); do
    f=${frames[(start + i) % n]}
    r=$(e2e_rmse "$1" "$f")
    if awk "BEGIN { exit !($r < $best) }"; then best=$r; name=$(basename "$f" .png); fi
    awk "BEGIN { exit !($best < $3) }" && break
  done
  echo "$best $name"
}

# e2e_compose_watch DIR COUNT LIMIT: takes screenshots until COUNT of them, each different from
# the one before, match a frame in DIR with an RMSE below LIMIT. Shots before the first match
# (the show still starting) are passed over; a later shot that matches no frame fails at once,
# and so does a show that never matches. Prints one line per shot; returns 1 on failure.
e2e_compose_watch() {
  local dir=$1 count=$2 limit=$3 got=0 tries=0 prev="" shot best last=""
  while [ "$got" -lt "$count" ] && [ "$tries" -lt 40 ]; do
    tries=$((tries + 1))
    shot="$dir/shot-$tries.png"
    e2e_grab "$shot" || { echo "cannot take a screenshot"; return 1; }
    if [ -n "$prev" ] && awk "BEGIN { exit !($(e2e_rmse "$shot" "$prev") < 0.002) }"; then continue; fi
    best=$(e2e_compose_match "$shot" "$dir" "$limit" "$last")
    if awk "BEGIN { exit !(${best% *} < $limit) }"; then
      got=$((got + 1)); prev=$shot; last=${best#* }
      echo "shot $tries matches ${best#* } (RMSE ${best% *})"
    elif [ "$got" -gt 0 ]; then
      echo "shot $tries matches no frame: closest ${best#* } (RMSE ${best% *})"; return 1
    fi
  done
  [ "$got" -ge "$count" ] || { echo "only $got of $count shots matched a frame (last: ${best:-none})"; return 1; }
}

# e2e_exif_orientation JPG VALUE: gives the JPEG file an Exif orientation tag (1 to 8), as a
# camera does for a photo taken upright: the pixels stay as they are.
e2e_exif_orientation() {
  /usr/bin/python3 - "$1" "$2" <<'PY'
import struct, sys
path, value = sys.argv[1], int(sys.argv[2])
data = open(path, "rb").read()
tiff = b"II*\0" + struct.pack("<IH", 8, 1) + struct.pack("<HHIHH", 0x0112, 3, 1, value, 0) + b"\0\0\0\0"
app1 = b"\xFF\xE1" + struct.pack(">H", 2 + 6 + len(tiff)) + b"Exif\0\0" + tiff
open(path, "wb").write(data[:2] + app1 + data[2:])
PY
}

# e2e_make_bands FILE: an 800x600 BMP, red with a blue band 60 pixels high at the top and a
# yellow one at the bottom, so where its edges land and what is cut off shows.
e2e_make_bands() {
  /usr/bin/convert -size 800x600 xc:red -fill blue -draw "rectangle 0,0 799,59" \
    -fill yellow -draw "rectangle 0,540 799,599" -type truecolor "BMP3:$1"
}

# e2e_placed PICTURE WxH MODE BACKGROUND OUT: the picture as a WxH screen shows it, stretched,
# fitted whole with bars of the colour BACKGROUND (#rrggbb), or filling it and cut off.
e2e_placed() {
  case $3 in
    stretch) /usr/bin/convert "$1" -resize "$2!" "$5" ;;
    fit) /usr/bin/convert "$1" -background "$4" -flatten -resize "$2" -gravity center -extent "$2" "$5" ;;
    fill) /usr/bin/convert "$1" -background "$4" -flatten -resize "$2^" -gravity center -extent "$2" "$5" ;;
  esac
}

# e2e_placement_round: the stored placement on a 1280x720 screen with violet bars (E2E_VIOLET),
# the same on both builds. The caller defines `shows PICTURE MODE LIMIT` (stores the picture and
# the placement, starts the show and waits for the screen e2e_placed gives in
# $E2E_TMP/want-MODE.png) and `ends [animated]` (ends the show on a key).
E2E_VIOLET='#8000ff'
e2e_placement_round() {
  e2e_setting BackColors 16711808   # violet, 0x00FF0080
  e2e_make_bands "$E2E_TMP/bands.bmp"
  /usr/bin/convert "$E2E_TMP/bands.bmp" -alpha set \( -size 200x200 xc:none \) -geometry +300+200 \
    -compose copy -composite "$E2E_TMP/hole.png"
  /usr/bin/convert "$E2E_TMP/hole.png" \( -clone 0 \) \( -clone 0 \) -set delay 10 -loop 0 "$E2E_TMP/hole.gif"
  local at i rmse
  shows "$E2E_TMP/bands.bmp" Stretch 0.01
  ends
  e2e_pass "Stretch fills the screen as ever"

  shows "$E2E_TMP/bands.bmp" fit 0.01
  for at in "159 360" "1120 360" "0 0" "1279 719"; do
    [ "$(e2e_pixel "$E2E_SHOT" $at)" = "128,0,255" ] || e2e_fail "Fit: the bar at $at is $(e2e_pixel "$E2E_SHOT" $at)"
  done
  for at in "160 360" "1119 360" "640 0" "640 719"; do
    [ "$(e2e_pixel "$E2E_SHOT" $at)" != "128,0,255" ] || e2e_fail "Fit: the picture at $at is background"
  done
  ends
  e2e_pass "Fit: 960x720 centred, 160-pixel bars of exactly the background colour"

  shows "$E2E_TMP/bands.bmp" FILL 0.01
  for at in "0 0" "1279 0" "0 719" "1279 719"; do
    [ "$(e2e_pixel "$E2E_SHOT" $at)" = "255,0,0" ] || e2e_fail "Fill: $at is $(e2e_pixel "$E2E_SHOT" $at), not red"
  done
  ends
  e2e_pass "Fill covers the screen, the bands cut off"

  shows "$E2E_TMP/hole.gif" Fit 0.01
  # Every frame is painted in the same place: later screenshots stay the picture.
  for i in 1 2 3; do
    e2e_screenshot "gif-fit-again-$i"
    rmse=$(e2e_rmse "$E2E_SHOT" "$E2E_TMP/want-Fit.png")
    awk "BEGIN { exit !($rmse < 0.01) }" || e2e_fail "a later frame of the GIF is placed otherwise (RMSE $rmse)"
  done
  [ "$(e2e_pixel "$E2E_SHOT" 640 360)" = "128,0,255" ] || e2e_fail "the GIF's hole shows $(e2e_pixel "$E2E_SHOT" 640 360)"
  ends animated
  e2e_pass "a transparent GIF fitted whole: its frames stay in place, its hole shows the background colour"
}

# e2e_roughness IMAGE: the mean absolute Laplacian of the picture's grey, 0 for an even one;
# the negated picture gives the half an integer Laplacian clips.
e2e_roughness() {
  local up down
  up=$(/usr/bin/convert "$1" -colorspace gray -morphology Convolve Laplacian:0 -format '%[fx:mean]' info:)
  down=$(/usr/bin/convert "$1" -colorspace gray -negate -morphology Convolve Laplacian:0 -format '%[fx:mean]' info:)
  awk "BEGIN { print $up + $down }"
}

# e2e_blur_round: a 4:3 picture with a fine pattern on a 1280x720 screen with violet bars: the
# whole picture shows as Fit shows it, and its 160-pixel bars hold a smooth, darkened copy of it
# instead of the background colour. The caller defines `starts MODE` (stores the picture and
# the placement, starts the show and waits for its window) and `ends` (ends it on a key).
_e2e_blur_picture_is() {
  e2e_screenshot "$1"
  /usr/bin/convert "$E2E_SHOT" -crop 960x720+160+0 +repage "$E2E_TMP/shown-picture.png"
  E2E_RMSE=$(e2e_rmse "$E2E_TMP/shown-picture.png" "$E2E_TMP/fit-picture.png")
  awk "BEGIN { exit !($E2E_RMSE <= 0.005) }"
}
e2e_blur_round() {
  local side shot fill bar near rough sharp dark light
  e2e_setting BackColors 16711808   # violet, 0x00FF0080
  E2E_BLUR_PICTURE="$E2E_TMP/photo.bmp"
  /usr/bin/convert -size 800x600 gradient:orange-navy \( -size 800x600 pattern:checkerboard \) \
    -compose multiply -composite -type truecolor "BMP3:$E2E_BLUR_PICTURE"
  e2e_placed "$E2E_BLUR_PICTURE" 1280x720 fit "$E2E_VIOLET" "$E2E_TMP/want-fit.png"
  e2e_placed "$E2E_BLUR_PICTURE" 1280x720 fill "$E2E_VIOLET" "$E2E_TMP/want-fill.png"

  starts Fit
  e2e_wait_picture blur-fit "$E2E_TMP/want-fit.png" 0.01 40 || e2e_fail "Fit: not the picture (RMSE $E2E_RMSE)"
  /usr/bin/convert "$E2E_SHOT" -crop 960x720+160+0 +repage "$E2E_TMP/fit-picture.png"
  ends

  starts Blur
  e2e_wait_until 40 _e2e_blur_picture_is blur || e2e_fail "Blur: the picture is not placed as Fit places it (RMSE $E2E_RMSE)"
  shot=$E2E_SHOT
  e2e_log "Blur: the picture against the Fit show's, RMSE $E2E_RMSE"
  for side in 0 1120; do
    /usr/bin/convert "$shot" -crop "160x720+$side+0" +repage "$E2E_TMP/bar-$side.png"
    /usr/bin/convert "$E2E_TMP/want-fill.png" -crop "160x720+$side+0" +repage "$E2E_TMP/fill-$side.png"
    bar=$E2E_TMP/bar-$side.png fill=$E2E_TMP/fill-$side.png
    near=$(/usr/bin/convert "$bar" -fuzz 4% -fill white -opaque "$E2E_VIOLET" -fill black +opaque white -format '%[fx:mean]' info:)
    rough=$(e2e_roughness "$bar")
    sharp=$(e2e_roughness "$fill")
    dark=$(/usr/bin/convert "$bar" -colorspace gray -format '%[fx:mean]' info:)
    light=$(/usr/bin/convert "$fill" -colorspace gray -format '%[fx:mean]' info:)
    e2e_log "Blur, bar at x $side: background-coloured share $near, roughness $rough (the picture's own there: $sharp), brightness $dark (the picture's: $light)"
    awk "BEGIN { exit !($near < 0.01) }" || e2e_fail "Blur: the bar at x $side shows the background colour"
    awk "BEGIN { exit !($rough < 0.1 * $sharp) }" || e2e_fail "Blur: the bar at x $side is not smooth ($rough against $sharp)"
    awk "BEGIN { exit !($dark < 0.75 * $light && $dark > 0.3 * $light) }" ||
      e2e_fail "Blur: the bar at x $side is not a darkened copy ($dark against $light)"
  done
  ends
  e2e_pass "Blur: the picture as Fit shows it, its bars a smooth darkened copy of it filling the screen"
}

# e2e_monitors_differ X1 Y1 X2 Y2 FIRST CHANGE: a folder's show with a different picture on each
# monitor; the points (X1, Y1) and (X2, Y2), one on each, show different pictures within FIRST
# seconds, and then each changes within CHANGE seconds on its own.
e2e_monitors_differ() {
  local x1=$1 y1=$2 x2=$3 y2=$4 first0 second0
  _e2e_centres() { e2e_screenshot different; echo "$(e2e_pixel "$E2E_SHOT" "$x1" "$y1") $(e2e_pixel "$E2E_SHOT" "$x2" "$y2")"; }
  _e2e_differ() { local a b; read -r a b < <(_e2e_centres); [ "$a" != "$b" ]; }
  e2e_wait_until "$5" _e2e_differ || e2e_fail "both monitors show the same picture ($(_e2e_centres))"
  read -r first0 second0 < <(_e2e_centres)
  _e2e_first_changed() { local a b; read -r a b < <(_e2e_centres); [ "$a" != "$first0" ]; }
  _e2e_second_changed() { local a b; read -r a b < <(_e2e_centres); [ "$b" != "$second0" ]; }
  e2e_wait_until "$6" _e2e_first_changed || e2e_fail "monitor 1 kept $first0"
  e2e_wait_until "$6" _e2e_second_changed || e2e_fail "monitor 2 kept $second0"
  e2e_log "different: monitor 1 $first0, monitor 2 $second0, then $(_e2e_centres)"
}

# e2e_dialog_shot ID NAME: the window's area of the screen into $E2E_SHOTS/NAME.png.
e2e_dialog_shot() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  e2e_screenshot screen || return 1
  /usr/bin/convert "$E2E_SHOT" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$E2E_SHOTS/$2.png"
}

# e2e_changed_area A B: "W H X Y" of the box around every pixel where two pictures differ
# (a 1x1 box off the picture when they do not).
e2e_changed_area() {
  /usr/bin/convert "$1" "$2" -compose difference -composite -colorspace gray -threshold 10% -trim \
    -format '%w %h %X %Y' info: 2>/dev/null | tr -d '+'
}

# e2e_says_why LABEL STORED: with the picture setting STORED, "/S" opens the setup dialog, and
# the one difference from the dialog that "/C" opens on the same settings is a single line of
# text in the lower half. Screenshots: LABEL-configure.png and LABEL-show.png.
_e2e_line_shown() {
  local w h x y
  e2e_dialog_shot "$1" "$2-show" || return 1
  read -r w h x y < <(e2e_changed_area "$E2E_SHOTS/$2-configure.png" "$E2E_SHOTS/$2-show.png")
  E2E_LINE_BOX="${w}x${h} at ${x},${y}"
  [ "${w:-0}" -gt 20 ] && [ "${h:-0}" -ge 5 ] && [ "$h" -le 24 ] && [ "${y:-0}" -gt "$3" ]
}
e2e_says_why() {
  local label=$1 win X Y WIDTH HEIGHT SCREEN WINDOW
  e2e_setting AniFile "$2"
  e2e_start /C
  win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "$label: no dialog for /C"
  e2e_wait_painted "$win" 10 || e2e_fail "$label: the dialog was not painted"
  e2e_dialog_shot "$win" "$label-configure" || e2e_fail "$label: no screenshot"
  e2e_focus "$win"; xdotool key space   # "Save settings, Close" has the focus
  e2e_wait_exit 20 || e2e_fail "$label: the /C dialog did not close"
  e2e_wait_no_window "Make a Marvoscope" 15 || e2e_fail "$label: the /C dialog stayed on screen"
  e2e_setting AniFile "$2"
  e2e_start /S
  win=$(e2e_wait_window "Make a Marvoscope" 30) || e2e_fail "$label: no setup dialog instead of the show"
  eval "$(xdotool getwindowgeometry --shell "$win")"
  E2E_LINE_BOX=""
  e2e_wait_until 10 _e2e_line_shown "$win" "$label" $((HEIGHT / 2)) ||
    e2e_fail "$label: no one line in the lower half of the dialog (changed: ${E2E_LINE_BOX:-nothing})"
  e2e_focus "$win"; xdotool key space
  e2e_wait_exit 20 || e2e_fail "$label: the dialog did not close"
  e2e_wait_no_window "Make a Marvoscope" 15 || e2e_fail "$label: the dialog stayed on screen"
  e2e_pass "$label: the dialog says why in one line at $E2E_LINE_BOX (see $E2E_SHOTS/$label-show.png)"
}

# e2e_slide_folder DIR: the slideshow's folder: three solid-colour JPGs (red, green, blue), a
# yellow PNG, a three-frame GIF (magenta, cyan, white; 200 ms a frame) and a file that is no
# picture (bad.jpg).
e2e_slide_folder() {
  mkdir -p "$1"
  /usr/bin/convert -size 320x240 xc:red "$1/a1.jpg"
  /usr/bin/convert -size 320x240 xc:lime "$1/a2.jpg"
  /usr/bin/convert -size 320x240 xc:blue "$1/a3.jpg"
  /usr/bin/convert -size 200x300 xc:yellow "$1/p.png"
  /usr/bin/convert -delay 20 -size 100x100 xc:magenta xc:cyan xc:white -loop 0 "$1/g.gif"
  head -c 400 /dev/urandom >"$1/bad.jpg"
}

# e2e_slow_first_folder DIR: a folder whose first picture is slow to prepare, an 11000x11000
# JPEG (a.jpg: a red to blue ramp under noise, 43 MB, which takes a second to decode even at an
# eighth of its size). It is the folder's only picture: the first found, in any order of reading.
# e2e_early_input_verdict KIND AT MS...: the twenty tries of an early key or move, each of which
# must have ended the show within 250 ms of the input.
e2e_early_input_verdict() {
  local kind=$1 at=$2; shift 2
  e2e_log "a $kind at $at ms: ms until the window was gone: $*"
  local slow; slow=$(printf '%s\n' "$@" | awk '!($1 + 0 > 0 && $1 + 0 <= 250)' | wc -l)
  [ "$slow" -eq 0 ] || e2e_fail "a $kind at $at ms: $slow of $# tries took over 250 ms"
  e2e_pass "a $kind at $at ms ends the show within 250 ms in $# of $# tries"
}

e2e_slow_first_folder() {
  mkdir -p "$1"
  /usr/bin/python3 -c '
import os, sys
w = h = 11000
ramp = bytearray()
for x in range(w):
    ramp += bytes((255 - x * 255 // w, 0, x * 255 // w))
rows = [bytes((a & 0xC0) | (b & 0x3F) for a, b in zip(ramp, os.urandom(3 * w))) for _ in range(61)]
out = sys.stdout.buffer
out.write(b"P6\n%d %d\n255\n" % (w, h))
for y in range(h):
    out.write(rows[y % 61])
' | cjpeg -quality 85 >"$1/a.jpg" || e2e_fail "cannot make the 11000x11000 JPEG (cjpeg: libjpeg-turbo-progs)"
}

# e2e_slide_runs WATCH: the colour changes of e2e_colour_watch as the pictures of
# e2e_slide_folder (red, green, blue, yellow; "gif" for any of the GIF's frames; "other:..."
# for anything else), one line "NAME MS" a run of the same picture. What shows before the
# first picture (a host's window, the show's window before its first paint) is left out.
e2e_slide_runs() {
  awk '
    function pic(c) {
      if (c == "red" || c == "green" || c == "blue") return c
      if (c ~ /^rgb\(2[0-9][0-9],2[0-9][0-9],[0-9]?[0-9]\)$/) return "yellow"
      if (c == "white" || c ~ /^rgb\(2[0-9][0-9],[0-9]?[0-9],2[0-9][0-9]\)$/ || c ~ /^rgb\([0-9]?[0-9],2[0-9][0-9],2[0-9][0-9]\)$/) return "gif"
      return "other:" c
    }
    { p = pic($2) }
    last == "" && p ~ /^other:/ { next }
    p != last { if (last != "") print last, $1 - since; last = p; since = $1 }
  ' "$1"
}

# e2e_check_slide_runs RUNS: every picture showed, nothing else did, each whole run of a still
# (the first is cut by the watch's start) lasted 2 s +- 0.3 s, and the first five runs (a round
# of the five readable pictures) show none twice.
e2e_check_slide_runs() {
  local p bad first
  e2e_log "pictures and their ms: $(tr '\n' ' ' <"$1")"
  for p in red green blue yellow gif; do
    grep -q "^$p " "$1" || e2e_fail "the $p picture never showed"
  done
  ! grep -q "^other" "$1" || e2e_fail "a colour no picture has showed"
  e2e_pass "every picture showed"
  bad=$(awk 'NR > 1 && $1 != "gif" && ($2 < 1700 || $2 > 2300) { printf " %s", $0 }' "$1")
  [ -z "$bad" ] || e2e_fail "a still did not stay 2 s:$bad"
  e2e_pass "each still stayed 2 s +- 0.3 s"
  first=$(head -n5 "$1" | cut -d' ' -f1 | sort | uniq -d)
  [ -z "$first" ] || e2e_fail "within the first round $first showed twice"
  e2e_pass "no picture twice within a round"
}

# e2e_ocr IMAGE GEOMETRY: what tesseract reads off the part WxH+X+Y of IMAGE, where a line of
# light text lies on a photo; one reading per threshold tried, a line each.
e2e_ocr() {
  local t
  for t in 75 80 85; do
    /usr/bin/convert "$1" -crop "$2" +repage -colorspace gray -resize 400% -threshold "$t%" -negate \
      "$E2E_TMP/ocr.png" 2>/dev/null && tesseract "$E2E_TMP/ocr.png" - --psm 7 2>/dev/null | tr '\n' ' '
    echo
  done
}

# e2e_caption_photo FILE WxH: a calm photo of that size taken on 14 July 2023 in Lyon, as its
# Exif says.
e2e_caption_photo() {
  /usr/bin/convert -size "$2" gradient:'#2f5f8f-#c8a060' -quality 92 "$1" || e2e_fail "make the photo"
  exiftool -q -overwrite_original -DateTimeOriginal="2023:07:14 10:00:00" -GPSLatitude=45.76 -GPSLatitudeRef=N \
    -GPSLongitude=4.84 -GPSLongitudeRef=E "$1" || e2e_fail "write the photo's Exif"
}

# e2e_masked_rmse A B BOX...: the RMSE of two pictures with each box (WxH+X+Y) blacked out in both.
e2e_masked_rmse() {
  local a=$1 b=$2 draw=() box w h x y
  shift 2
  for box in "$@"; do
    IFS='x+' read -r w h x y <<<"$box"
    draw+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  /usr/bin/convert "$a" -fill black "${draw[@]}" "$E2E_TMP/masked-a.png"
  /usr/bin/convert "$b" -fill black "${draw[@]}" "$E2E_TMP/masked-b.png"
  e2e_rmse "$E2E_TMP/masked-a.png" "$E2E_TMP/masked-b.png"
}

# e2e_reads NAME BOX REGEX: screenshots NAME and succeeds when the text read in BOX matches.
e2e_reads() {
  local text
  e2e_screenshot "$1"
  text=$(e2e_ocr "$E2E_SHOT" "$2")
  grep -E -q "$3" <<<"$text"
}

# e2e_clock_in IMAGE BOX: the time read in BOX, when it is hours and minutes ("" otherwise).
e2e_clock_in() {
  local text
  text=$(e2e_ocr "$1" "$2")
  text=$(grep -E -o '[0-9]{1,2}[:.][0-9]{2}([:.][0-9]{2})?' <<<"$text" | head -n1)
  [[ $text =~ ^[0-9]{1,2}[:.][0-9]{2}$ ]] && echo "$text"
}

# e2e_rgb_frames DIR: the frames of e2e's timing animation, red, green and blue of 50, 50 and
# 100 hundredths, as a GIF (DIR/rgb.gif) and as the PNG frames other encoders take
# (DIR/f1.png...; DIR/f1.txt... hold their delays as apngasm reads them).
e2e_rgb_frames() {
  local i=1 c d
  for c in red:50 lime:50 blue:100; do
    /usr/bin/convert -size 64x48 "xc:${c%:*}" "PNG24:$1/f$i.png"
    d=${c#*:}; echo "delay=$d/100" >"$1/f$i.txt"; i=$((i + 1))
  done
  /usr/bin/convert -size 64x48 -delay 50 xc:red xc:lime -delay 100 xc:blue -loop 0 "$1/rgb.gif"
}

# e2e_timed_runs WATCH: the runs of red, green and blue that e2e_colour_watch saw, "colour:ms"
# each, the last (cut off by the watch's end) left out.
e2e_timed_runs() {
  awk '$2 == "red" || $2 == "green" || $2 == "blue" {
         if ($2 != c) { if (c != "") out = out (n++ ? " " : "") c ":" ($1 - t); c = $2; t = $1 } }
       END { print out }' "$1"
}

# e2e_same_timing GIF_RUNS RUNS: whether RUNS shows the frames in the order GIF_RUNS does, each
# run (the first frame's aside, which waits on the show's start) within 80 ms or a tenth of the
# GIF's, whichever is more.
e2e_same_timing() {
  awk -v a="$1" -v b="$2" 'BEGIN {
    n = split(a, x, " "); m = split(b, y, " "); if (m < 4 || n < 4) exit 1
    k = n < m ? n : m
    for (i = 1; i <= k; i++) {
      split(x[i], p, ":"); split(y[i], q, ":")
      if (p[1] != q[1]) exit 1
      slack = p[2] / 10 > 80 ? p[2] / 10 : 80
      if (i > 1 && (q[2] - p[2] > slack || p[2] - q[2] > slack)) exit 1
    }
  }'
}

# Stills that drift, the same checks on both builds, on a 1280x720 screen with violet bars. The
# caller makes the photo (e2e_motion_photo), stores it as AniFile, points the program's drift log
# (MARVOSCOPE_MOTION_LOG, in the program's own path form) at $E2E_MOTION_LOG, and defines
# `starts LABEL` (starts the show and waits for its window) and `ends` (ends it on a key).
E2E_MOTION_PHOTO=""
E2E_MOTION_LOG=""

# e2e_motion_photo FILE: a 1600x1000 JPEG with detail everywhere, so that a small shift shows;
# and the quick screen grabber.
e2e_motion_photo() {
  E2E_MOTION_PHOTO=$1
  /usr/bin/convert -seed 3 -size 1600x1000 plasma:fractal -blur 0x2 -quality 92 "$1" || e2e_fail "cannot make the photo"
  cc -O1 -o "$E2E_TMP/screen_grab" "$(dirname "${BASH_SOURCE[0]}")/screen_grab.c" -lX11 || e2e_fail "cannot build screen_grab"
}

# e2e_motion_drift N FIELD: one field (start_ms, period_ms, picture, from, to) of the N-th drift
# logged for the first surface.
e2e_motion_drift() {
  grep '^drift surface=0 ' "$E2E_MOTION_LOG" 2>/dev/null | sed -n "${1}p" | tr -d '\r' | tr ' ' '\n' | sed -n "s/^$2=//p"
}
_e2e_motion_drifts() { [ "$(grep -c '^drift surface=0 ' "$E2E_MOTION_LOG" 2>/dev/null)" -ge "$1" ]; }

# e2e_motion_reference X,Y,W,H OUT: the photo landing on that rectangle of the screen (fractional
# pixels, edges at whole numbers, as ImageMagick's distortions count them too): the screen's
# pixels whose centres fall inside it show the photo, its own edge pixels continued past its
# edges, and the others violet.
e2e_motion_reference() {
  local x y w h size scale cut
  IFS=, read -r x y w h <<<"$1"
  size=$(/usr/bin/identify -format '%w %h' "$E2E_MOTION_PHOTO")
  scale=$(awk -v s="$size" "BEGIN { split(s, p, \" \"); print $w / p[1] \",\" $h / p[2] }")
  cut=$(awk "function c(v, n) { v = v - 0.5; v = (v == int(v) || v < 0) ? int(v) : int(v) + 1; return v < 0 ? 0 : (v > n ? n : v) }
    BEGIN { x0 = c($x, 1280); x1 = c($x + $w, 1280); y0 = c($y, 720); y1 = c($y + $h, 720)
            printf \"%dx%d+%d+%d\", x1 - x0, y1 - y0, x0, y0 }")
  /usr/bin/convert -size 1280x720 "xc:$E2E_VIOLET" \( "$E2E_MOTION_PHOTO" -virtual-pixel edge \
    -define distort:viewport=1280x720+0+0 -distort SRT "0,0 $scale 0 $x,$y" +repage -crop "$cut" +repage \) \
    -geometry "+${cut#*+}" -compose copy -composite "$2"
}

# e2e_motion_shot NAME AT_MS: the screen at AT_MS (epoch milliseconds) into $E2E_SHOTS/NAME.ppm,
# grabbed at once, with E2E_SHOT its path and E2E_SHOT_SPAN when the grab began and ended ("BEGAN
# ENDED", epoch milliseconds): the moment of a moving picture's shot matters.
E2E_SHOT_SPAN=""
e2e_motion_shot() {
  E2E_SHOT="$E2E_SHOTS/$1.ppm"
  E2E_SHOT_SPAN=$("$E2E_TMP/screen_grab" "$E2E_SHOT" "$2") || e2e_fail "cannot take screenshot $1"
}

# _e2e_motion_pack PREFIX: the raw screenshots PREFIX* kept as PNG (a failed check leaves them raw).
_e2e_motion_pack() {
  local f
  for f in "$E2E_SHOTS/$1"*.ppm; do
    [ -e "$f" ] && /usr/bin/convert "$f" "${f%.ppm}.png" && rm -f "$f"
  done
}

# e2e_motion_shift A B: how the middle 640x360 of screenshot B moved against A's: "DX DY RMSE
# RMSE_SHIFTED", the best whole-pixel shift within 24 pixels (from each axis's profile) and the
# difference before and after undoing it.
e2e_motion_shift() {
  /usr/bin/convert "$1" -crop 640x360+320+180 +repage -colorspace gray -depth 8 "gray:$E2E_TMP/shift-a.gray" &&
    /usr/bin/convert "$2" -crop 640x360+320+180 +repage -colorspace gray -depth 8 "gray:$E2E_TMP/shift-b.gray" || return 1
  /usr/bin/python3 - "$E2E_TMP/shift-a.gray" "$E2E_TMP/shift-b.gray" <<'PY'
import sys
W, H, R = 640, 360, 24
a, b = (open(p, "rb").read() for p in sys.argv[1:3])
def cols(p): return [sum(p[x::W]) / H for x in range(W)]
def rows(p): return [sum(p[y * W:(y + 1) * W]) / W for y in range(H)]
def best(pa, pb):
    def cost(d):
        span = range(max(0, -d), min(len(pa), len(pa) - d))
        return sum((pa[i] - pb[i + d]) ** 2 for i in span) / len(span)
    return min(range(-R, R + 1), key=cost)
def rmse(dx, dy):
    s = n = 0
    for y in range(max(0, -dy), min(H, H - dy)):
        ra, rb = a[y * W:(y + 1) * W], b[(y + dy) * W:(y + dy + 1) * W]
        for x in range(max(0, -dx), min(W, W - dx)):
            e = ra[x] - rb[x + dx]
            s += e * e
            n += 1
    return (s / n) ** 0.5 / 255
dx, dy = best(cols(a), cols(b)), best(rows(a), rows(b))
print(dx, dy, "%.4f" % rmse(0, 0), "%.4f" % rmse(dx, dy))
PY
}

# e2e_motion_cpu_ticks PID: the process's CPU time so far, in clock ticks.
e2e_motion_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null; }

# e2e_motion_drifts MODE: the show placed MODE (Fill or Fit) drifts. At the first drift's start
# and end, where its easing rests, the screen is the photo at the logged rectangles; the next
# drift starts where it ended; two screenshots 1 s apart in its middle differ by a shift of a
# few pixels, never a jump. E2E_MOTION_ROUTE, when set, names the screenshots' route.
e2e_motion_drifts() {
  local mode=$1 start period from to shift dx dy still shifted i
  local shots="motion-${E2E_MOTION_ROUTE:+$E2E_MOTION_ROUTE-}$mode"
  e2e_setting Placement "$mode"
  : >"$E2E_MOTION_LOG"
  starts "$mode"
  e2e_wait_until 30 _e2e_motion_drifts 1 || e2e_fail "$mode: no drift logged"
  e2e_motion_shot "$shots-start" "$(e2e_now_ms)"
  local startSpan=$E2E_SHOT_SPAN
  start=$(e2e_motion_drift 1 start_ms) period=$(e2e_motion_drift 1 period_ms)
  from=$(e2e_motion_drift 1 from) to=$(e2e_motion_drift 1 to)
  [ "$period" = 6000 ] || e2e_fail "$mode: a drift of $period ms, not the interval's 6000"
  e2e_log "$mode: drift from $from to $to over $period ms"
  # The shots' moments against the drift's rests, which the log gives on the wall clock.
  local began ended
  read -r began ended <<<"$startSpan"
  local startLate="$((began - start))..$((ended - start))"
  # Eased, the picture has gone less than half a percent of its way 300 ms into the drift.
  [ $((began - start)) -le 300 ] || e2e_fail "$mode: the start shot began $((began - start)) ms after the drift's start"
  e2e_motion_shot "$shots-mid-1" $((start + period / 2 - 500))
  e2e_motion_shot "$shots-mid-2" $((start + period / 2 + 500))
  # Two shots at the rest between this drift and the next: a frame late on a busy machine spoils
  # one of them, not both.
  e2e_motion_shot "$shots-end" $((start + period - 100))
  read -r began ended <<<"$E2E_SHOT_SPAN"
  local endLate="$((began - start - period))..$((ended - start - period))"
  e2e_motion_shot "$shots-end-2" $((start + period + 50))
  read -r began ended <<<"$E2E_SHOT_SPAN"
  endLate="$endLate and $((began - start - period))..$((ended - start - period))"
  e2e_wait_until 5 _e2e_motion_drifts 2 || e2e_fail "$mode: no second drift logged"
  [ "$(e2e_motion_drift 2 from)" = "$to" ] ||
    e2e_fail "$mode: the second drift starts at $(e2e_motion_drift 2 from), not where the first ended ($to)"
  # Each start is rounded to the millisecond on its own: one either way, and a little room.
  local next; next=$(( $(e2e_motion_drift 2 start_ms) - start - period ))
  [ "${next#-}" -le 2 ] || e2e_fail "$mode: the second drift starts $next ms away from the first one's end"
  ends
  e2e_log "$mode: the start shot from $startLate ms of the drift's start, the end shots from $endLate ms of its end"

  e2e_motion_reference "$from" "$E2E_TMP/want-$mode-start.png"
  e2e_motion_reference "$to" "$E2E_TMP/want-$mode-end.png"
  local first second
  for i in start end; do
    E2E_RMSE=$(e2e_rmse "$E2E_SHOTS/$shots-$i.ppm" "$E2E_TMP/want-$mode-$i.png")
    if [ "$i" = end ]; then
      first=$E2E_RMSE second=$(e2e_rmse "$E2E_SHOTS/$shots-end-2.ppm" "$E2E_TMP/want-$mode-end.png")
      E2E_RMSE=$(awk "BEGIN { print ($second < $first) ? $second : $first }")
      e2e_log "$mode: the drift's end against the photo at its rectangle: RMSE $first and $second"
    else
      e2e_log "$mode: the drift's start against the photo at its rectangle: RMSE $E2E_RMSE"
    fi
    awk "BEGIN { exit !($E2E_RMSE <= 0.01) }" || e2e_fail "$mode: the drift's $i is not the photo at its rectangle (RMSE $E2E_RMSE)"
  done
  shift=$(e2e_motion_shift "$E2E_SHOTS/$shots-mid-1.ppm" "$E2E_SHOTS/$shots-mid-2.ppm") ||
    e2e_fail "$mode: cannot compare the middle shots"
  read -r dx dy still shifted <<<"$shift"
  e2e_log "$mode: 1 s in the middle of the drift: shift $dx,$dy px, RMSE $still, after the shift $shifted"
  awk "BEGIN { exit !($still > 0.002) }" || e2e_fail "$mode: the picture did not move in 1 s (RMSE $still)"
  [ "${dx#-}" -le 20 ] && [ "${dy#-}" -le 20 ] || e2e_fail "$mode: a jump of $dx,$dy px in 1 s"
  awk "BEGIN { exit !($shifted < 0.03) }" ||
    e2e_fail "$mode: no small shift explains the change in 1 s (RMSE $shifted after $dx,$dy)"
  _e2e_motion_pack "$shots-"
  e2e_pass "$mode: rests on the logged framings at a drift's start and end, moves $dx,$dy px in its middle second"
}

# e2e_motion_idle LABEL MODE MOTION: the show placed MODE with Motion stored as MOTION stands
# still: it logs no drift, two screenshots 1 s apart are the same, and over 2 s it uses next to
# no CPU (no frame timer runs).
e2e_motion_idle() {
  local label=$1 mode=$2 pid ticks used
  e2e_setting Placement "$mode"
  e2e_setting Motion "$3"
  e2e_placed "$E2E_MOTION_PHOTO" 1280x720 "$(tr '[:upper:]' '[:lower:]' <<<"$mode")" "$E2E_VIOLET" "$E2E_TMP/want-idle.png"
  : >"$E2E_MOTION_LOG"
  starts "$label"
  e2e_wait_picture "motion-idle-$label" "$E2E_TMP/want-idle.png" 0.01 40 ||
    e2e_fail "$label: not the photo placed $mode (RMSE $E2E_RMSE)"
  pid=$E2E_PID
  ticks=$(e2e_motion_cpu_ticks "$pid")
  [ -n "$ticks" ] || e2e_fail "$label: cannot read the program's CPU time"
  local at; at=$(e2e_now_ms)
  e2e_motion_shot "motion-idle-$label-1" "$at"
  e2e_motion_shot "motion-idle-$label-2" $((at + 1000))
  E2E_RMSE=$(e2e_rmse "$E2E_SHOTS/motion-idle-$label-1.ppm" "$E2E_SHOT")
  e2e_motion_shot "motion-idle-$label-3" $((at + 2000))
  used=$(( $(e2e_motion_cpu_ticks "$pid") - ticks ))
  ends
  [ ! -s "$E2E_MOTION_LOG" ] || e2e_fail "$label: drifts logged: $(head -n1 "$E2E_MOTION_LOG")"
  awk "BEGIN { exit !($E2E_RMSE == 0) }" || e2e_fail "$label: the screen changed in 1 s (RMSE $E2E_RMSE)"
  e2e_log "$label: CPU over 2 s: $used ticks of 1/$(getconf CLK_TCK) s"
  [ "$used" -le 10 ] || e2e_fail "$label: $used ticks of CPU in 2 s, as if a frame timer ran"
  _e2e_motion_pack "motion-idle-$label-"
  e2e_pass "$label: stands still, nothing logged, $used CPU ticks in 2 s"
}
