# Sourced by the checks that show today's photo formats: make_photo_fixtures DIR SOURCE.PNG writes
# DIR/photo.{heic,avif,jxl,webp} from the picture with each format's own encoder, and beside each
# the same picture as its reference decoder gives it (DIR/photo-<format>.png), for comparing what
# is shown with what the format holds. Returns 1 when a tool is missing.
make_photo_fixtures() {
  local dir=$1 src=$2 t
  for t in heif-enc heif-convert avifenc avifdec cjxl djxl cwebp dwebp; do
    command -v "$t" >/dev/null || return 1
  done
  mkdir -p "$dir"
  heif-enc -q 80 -o "$dir/photo.heic" "$src" >/dev/null &&
    heif-convert "$dir/photo.heic" "$dir/photo-heic.png" >/dev/null &&
    avifenc -s 8 "$src" "$dir/photo.avif" >/dev/null &&
    avifdec "$dir/photo.avif" "$dir/photo-avif.png" >/dev/null &&
    cjxl -q 85 "$src" "$dir/photo.jxl" 2>/dev/null &&
    djxl "$dir/photo.jxl" "$dir/photo-jxl.png" 2>/dev/null &&
    cwebp -quiet -q 85 "$src" -o "$dir/photo.webp" &&
    dwebp -quiet "$dir/photo.webp" -o "$dir/photo-webp.png"
}
