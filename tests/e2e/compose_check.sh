# Checks a running animated show against the frames a GIF viewer shows: ImageMagick's
# coalesced frames over the stored background colour, stretched to the screen. Shared by the
# Linux and the Wine end-to-end checks; needs DISPLAY and ImageMagick (/usr/bin).

# compose_frames GIF BGHEX WxH DIR: writes the viewer's frames of GIF to DIR/frame-NNN.png.
compose_frames() {
  mkdir -p "$4"
  /usr/bin/convert "$1" -coalesce -background "$2" -alpha remove -alpha off -resize "$3!" "$4/frame-%03d.png"
}

# compose_rmse A B: normalised root-mean-square difference of two pictures, 0 to 1.
compose_rmse() {
  /usr/bin/compare -metric RMSE "$1" "$2" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/'
}

# compose_best SHOT DIR: "RMSE FRAME" of the frame in DIR closest to SHOT.
compose_best() {
  local f best=9 name="" r
  for f in "$2"/frame-*.png; do
    r=$(compose_rmse "$1" "$f")
    if awk "BEGIN { exit !($r < $best) }"; then best=$r; name=$(basename "$f" .png); fi
  done
  echo "$best $name"
}

# compose_watch DIR COUNT LIMIT: takes screenshots until COUNT of them, each different from the
# one before, match a frame in DIR with an RMSE below LIMIT. Shots before the first match (the
# show still starting) are passed over; a later shot that matches no frame fails at once, and
# so does a show that never matches. Prints one line per shot; returns 1 on failure.
compose_watch() {
  local dir=$1 count=$2 limit=$3 got=0 tries=0 prev="" shot best
  while [ "$got" -lt "$count" ] && [ "$tries" -lt 40 ]; do
    tries=$((tries + 1))
    shot="$dir/shot-$tries.png"
    import -window root "$shot" 2>/dev/null || { echo "cannot take a screenshot"; return 1; }
    if [ -n "$prev" ] && awk "BEGIN { exit !($(compose_rmse "$shot" "$prev") < 0.002) }"; then continue; fi
    best=$(compose_best "$shot" "$dir")
    if awk "BEGIN { exit !(${best% *} < $limit) }"; then
      got=$((got + 1)); prev=$shot
      echo "shot $tries matches ${best#* } (RMSE ${best% *})"
    elif [ "$got" -gt 0 ]; then
      echo "shot $tries matches no frame: closest ${best#* } (RMSE ${best% *})"; return 1
    fi
  done
  [ "$got" -ge "$count" ] || { echo "only $got of $count shots matched a frame (last: ${best:-none})"; return 1; }
}
