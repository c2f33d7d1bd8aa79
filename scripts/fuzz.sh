#!/usr/bin/env bash
# Fuzzes every decoder: builds the libFuzzer targets with Clang, AddressSanitizer and UBSan in
# build-fuzz, makes a seed corpus of picture files, runs each target in turn for the given
# seconds and prints the executions of each and their total. The tests never run this.
#   bash scripts/fuzz.sh [seconds per target, default 120] [target[:seconds] ...]
# FUZZ_RUNS=N stops each target after N executions, if its time has not run out first.
# Targets: gif_fuzz (GIF reader and the splitter's byte scan), png_fuzz (the PNG reader and its
# inflater, against zlib), apng_fuzz (an animated PNG's frames, listed, decoded and composed),
# still_qt_fuzz (the loader with Qt's image readers, the Linux path), still_stb_fuzz (the loader
# with stb_image, the Windows path), split_fuzz (LoadAniGif with its scratch-file I/O and the
# animation it starts), exif_fuzz (the JPEG Exif orientation reader, which both still targets
# also run), exif_facts_fuzz (a photo's Exif date and GPS position, from a JPEG or a PNG),
# ini_fuzz (the settings file's reader and editor), resample_fuzz (the stretch against a
# double-precision reference), heif_fuzz, jxl_fuzz and webp_fuzz (the Linux backend's
# HEIF/AVIF, JPEG XL and WebP decoders, and an animated WebP's frames).
# Inputs that crash are left as build-fuzz/crash-*; the corpus grows in build-fuzz/corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(gif_fuzz png_fuzz apng_fuzz still_qt_fuzz still_stb_fuzz split_fuzz exif_fuzz exif_facts_fuzz ini_fuzz
  resample_fuzz heif_fuzz jxl_fuzz webp_fuzz)
names=("${targets[@]%%:*}")
build=$PWD/build-fuzz

bash scripts/install-deps.sh clang libclang-rt-14-dev zlib1g-dev

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARVOSCOPE_TESTS=OFF >/dev/null
cmake --build "$build" -j"${FUZZ_JOBS:-$(nproc)}" --target "${names[@]}"

# Seed corpus: small files of every kind the decoders meet, from the usual encoders, and edge
# files made by hand.
seeds="$build/seeds"
rm -rf "$seeds" && mkdir -p "$seeds"
im=/usr/bin/convert
if [ -x "$im" ]; then
  "$im" -size 16x12 gradient:red-blue "$seeds/grad.png"
  "$im" "$seeds/grad.png" -type TrueColor "BMP3:$seeds/rgb24.bmp"
  "$im" "$seeds/grad.png" -alpha on -channel A -evaluate set 50% +channel "BMP:$seeds/argb32.bmp"
  "$im" -seed 1 -size 16x12 plasma:fractal -colors 200 -type Palette -compress None "BMP3:$seeds/pal8.bmp"
  "$im" "$seeds/grad.png" -colors 12 -type Palette -compress RLE "BMP3:$seeds/rle8.bmp"
  "$im" "$seeds/grad.png" -colors 8 -type Palette -compress None "BMP3:$seeds/pal4.bmp"
  "$im" "$seeds/grad.png" -monochrome "BMP3:$seeds/mono.bmp"
  "$im" "$seeds/grad.png" -define bmp:format=bmp2 "$seeds/os2.bmp"
  "$im" "$seeds/grad.png" -quality 80 "$seeds/baseline.jpg"
  "$im" "$seeds/grad.png" -interlace Plane "$seeds/progressive.jpg"
  "$im" "$seeds/grad.png" -colorspace CMYK "$seeds/cmyk.jpg"
  "$im" "$seeds/grad.png" -colorspace Gray "$seeds/gray.jpg"
  "$im" "$seeds/grad.png" -sampling-factor 4:4:4 -define jpeg:restart-interval=1 "$seeds/restart444.jpg"
  "$im" -seed 2 -size 33x7 plasma:fractal -sampling-factor 2x2 "$seeds/odd420.jpg"
  "$im" "$seeds/grad.png" -colors 16 "$seeds/still.gif"
  "$im" -delay 10 -size 8x6 xc:red xc:lime xc:blue -loop 0 "$seeds/anim3.gif"
  "$im" -delay 0 -dispose Background -size 8x6 xc:red \( -size 3x2 xc:blue -repage +2+1 \) \
    \( -size 4x4 xc:none -repage +4+2 \) -loop 0 "$seeds/anim-offsets.gif"
  "$im" "$seeds/grad.png" "$seeds/grad.ppm"
  "$im" "$seeds/grad.png" -monochrome "$seeds/grad.xbm"
  "$im" "$seeds/grad.png" -colors 8 "$seeds/grad.xpm"
  "$im" "$seeds/grad.png" -define icon:auto-resize=16 "$seeds/grad.ico"
  # PNGs of every colour type and depth the portable reader takes apart.
  "$im" "$seeds/grad.png" -depth 16 "PNG48:$seeds/rgb16.png"
  "$im" "$seeds/grad.png" -alpha on -channel A -evaluate set 40% +channel -depth 16 "PNG64:$seeds/rgba16.png"
  "$im" "$seeds/grad.png" -colors 6 -transparent blue "PNG8:$seeds/palette-trns.png"
  "$im" "$seeds/grad.png" -colorspace Gray -alpha on -channel A -evaluate set 60% +channel "$seeds/gray-alpha.png"
  "$im" "$seeds/grad.png" -monochrome -define png:bit-depth=1 "$seeds/gray1.png"
  "$im" "$seeds/grad.png" -interlace PNG "$seeds/adam7.png"
fi
# Photos with an Exif date and GPS position, in both byte orders and in a PNG's eXIf chunk.
if command -v exiftool >/dev/null && [ -f "$seeds/baseline.jpg" ]; then
  cp "$seeds/baseline.jpg" "$seeds/exif-gps-le.jpg"
  exiftool -q -q -overwrite_original -DateTimeOriginal='2023:07:14 15:42:10' -ModifyDate='2024:01:02 03:04:05' \
    -GPSLatitude=48.8567 -GPSLatitudeRef=N -GPSLongitude=2.3522 -GPSLongitudeRef=E "$seeds/exif-gps-le.jpg"
  cp "$seeds/baseline.jpg" "$seeds/exif-gps-be.jpg"
  exiftool -q -q -overwrite_original -ExifByteOrder=MM -DateTimeOriginal='2016:02:29 23:59:00' \
    -GPSLatitude=22.9068 -GPSLatitudeRef=S -GPSLongitude=43.1729 -GPSLongitudeRef=W "$seeds/exif-gps-be.jpg"
  cp "$seeds/grad.png" "$seeds/exif-gps.png"
  exiftool -q -q -overwrite_original -DateTimeOriginal='2023:07:14 15:42:10' -GPSLatitude=-16.4 \
    -GPSLatitudeRef=S -GPSLongitude=179.95 -GPSLongitudeRef=W "$seeds/exif-gps.png"
fi
# Today's photo formats from their own encoders: 8- and 10-bit HEIC, AVIF, lossy and lossless
# JPEG XL and WebP, with and without alpha, and animated WebPs with offsets and disposal.
if command -v heif-enc >/dev/null && [ -f "$seeds/grad.png" ]; then
  "$im" "$seeds/grad.png" -alpha on -channel A -evaluate set 50% +channel "$seeds/grad-alpha.png"
  "$im" "$seeds/grad.png" -depth 16 "PNG48:$seeds/grad16.png"
  heif-enc -q 50 -o "$seeds/grad.heic" "$seeds/grad.png" >/dev/null
  heif-enc -q 50 -o "$seeds/grad-alpha.heic" "$seeds/grad-alpha.png" >/dev/null
  heif-enc -b 10 -q 50 -o "$seeds/grad10.heic" "$seeds/grad16.png" >/dev/null
  avifenc -s 10 "$seeds/grad.png" "$seeds/grad.avif" >/dev/null
  avifenc -s 10 "$seeds/grad-alpha.png" "$seeds/grad-alpha.avif" >/dev/null
  cjxl -q 80 "$seeds/grad.png" "$seeds/grad.jxl" 2>/dev/null
  cjxl -d 0 "$seeds/grad-alpha.png" "$seeds/grad-alpha.jxl" 2>/dev/null
  cjxl -d 0 --container=1 "$seeds/grad.png" "$seeds/grad-box.jxl" 2>/dev/null
  cwebp -quiet -q 60 "$seeds/grad.png" -o "$seeds/grad.webp"
  cwebp -quiet -lossless "$seeds/grad-alpha.png" -o "$seeds/grad-alpha.webp"
  "$im" -size 8x6 xc:red "$seeds/f1.png"
  "$im" -size 8x6 xc:none -fill blue -draw 'rectangle 2,1 5,4' "$seeds/f2.png"
  img2webp -loop 3 -lossless -d 40 "$seeds/f1.png" -lossy -d 70 "$seeds/f2.png" -o "$seeds/anim.webp" >/dev/null 2>&1
  img2webp -min_size -d 20 "$seeds/f1.png" "$seeds/f2.png" "$seeds/f1.png" -o "$seeds/anim-min.webp" >/dev/null 2>&1
  rm -f "$seeds/f1.png" "$seeds/f2.png"
fi
if command -v gifsicle >/dev/null && [ -f "$seeds/anim3.gif" ]; then
  gifsicle -O3 "$seeds/anim3.gif" >"$seeds/gifsicle-o3.gif"
  gifsicle --interlace --colors 4 "$seeds/anim-offsets.gif" >"$seeds/gifsicle-interlaced.gif" 2>/dev/null
  gifsicle --no-loopcount --delay 0 "$seeds/anim3.gif" >"$seeds/gifsicle-noloop.gif"
fi
# Animated PNGs as apngasm writes them: frames cut to the rectangles that change, with a palette
# made for them or their own colour type, the first frame left out of the animation.
if command -v apngasm >/dev/null && [ -x "$im" ]; then
  frames=$(mktemp -d)
  "$im" -size 16x12 gradient:red-blue -alpha on "$frames/f1.png"
  "$im" "$frames/f1.png" -fill yellow -draw 'rectangle 2,2 6,5' "$frames/f2.png"
  "$im" "$frames/f2.png" \( -size 5x3 xc:none \) -geometry +8+6 -compose Copy -composite "$frames/f3.png"
  apngasm "$seeds/apngasm.png" "$frames"/f*.png 1 10 -z0 >/dev/null
  apngasm "$seeds/apngasm-kc.png" "$frames"/f*.png 3 100 -l2 -kc -z0 >/dev/null
  apngasm "$seeds/apngasm-skip-first.png" "$frames"/f*.png -f -z0 >/dev/null
  rm -rf "$frames"
fi
if command -v ffmpeg >/dev/null; then
  ffmpeg -v error -f lavfi -i testsrc=size=16x12:rate=5 -frames:v 3 -y "$seeds/ffmpeg.gif"
  ffmpeg -v error -f lavfi -i testsrc=size=16x12 -frames:v 1 -y "$seeds/ffmpeg.jpg"
  ffmpeg -v error -f lavfi -i testsrc=size=16x12 -frames:v 1 -y "$seeds/ffmpeg.bmp"
fi
/usr/bin/python3 - "$seeds" <<'EOF'
import os, struct, sys, zlib
seeds = sys.argv[1]

def put(name, data):
    with open(os.path.join(seeds, name), "wb") as f:
        f.write(data)

def lzw(pixels, min_code=2):
    # A plain GIF LZW encoder (clear code first, table reset when full).
    clear, end = 1 << min_code, (1 << min_code) + 1
    out, acc, bits = bytearray(), 0, 0
    def emit(code, width):
        nonlocal acc, bits
        acc |= code << bits; bits += width
        while bits >= 8:
            out.append(acc & 0xFF); acc >>= 8; bits -= 8
    width, table, nxt = min_code + 1, {}, end + 1
    emit(clear, width)
    prefix = None
    for p in pixels:
        if prefix is None: prefix = p; continue
        key = (prefix, p)
        if key in table: prefix = table[key]; continue
        emit(prefix, width)
        if nxt < 4096:
            table[key] = nxt; nxt += 1
            if nxt > (1 << width) and width < 12: width += 1
        else:
            emit(clear, width); table, nxt, width = {}, end + 1, min_code + 1
        prefix = p
    emit(prefix, width); emit(end, width)
    if bits: out.append(acc & 0xFF)
    return bytes(out)

def blocks(data):
    return b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255] for i in range(0, len(data), 255)) + b"\0"

def gif(w, h, frames, version=b"89a"):
    out = b"GIF" + version + struct.pack("<HHBBB", w, h, 0x81, 0, 0) + bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255])
    for fw, fh, data, delay in frames:
        out += b"\x21\xF9\x04\x00" + struct.pack("<H", delay) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, fw, fh, 0) + b"\x02" + blocks(data)
    return out + b"\x3B"

# LZW bombs: a hundred bytes that decode to as many pixels as the targets decode (bench/
# fuzz_budget.h), a frame whose data runs on far past its pixels, and codes that refer to
# entries not yet made.
put("bomb-128x128.gif", gif(128, 128, [(128, 128, lzw([0] * (128 * 128)), 10)]))
put("bomb-overlong.gif", gif(4, 4, [(4, 4, lzw([1] * 200000), 10)] * 2))
put("lzw-bad-codes.gif", gif(8, 8, [(8, 8, bytes([0x04, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0xFE]), 5)]))
put("gif87a.gif", gif(3, 2, [(3, 2, lzw([0, 1, 2, 2, 1, 0]), 0)], b"87a"))
put("gif-huge-screen.gif", gif(65535, 65535, [(65535, 65535, lzw([0] * 64), 10)]))
put("gif-frame-outside.gif", gif(4, 4, [(2, 2, lzw([1] * 4), 10)]).replace(b"\x2C\x00\x00\x00\x00", b"\x2C\xF0\xFF\xF0\xFF", 1))
put("gif-no-trailer.gif", gif(4, 4, [(4, 4, lzw([2] * 16), 10)] * 3)[:-1])

def bmp(w, h, bpp=24, top_down=False, compression=0, palette=b"", data=None):
    stride = (w * bpp + 31) // 32 * 4
    data = data if data is not None else bytes(stride * abs(h))
    offset = 14 + 40 + len(palette)
    return (b"BM" + struct.pack("<IHHI", offset + len(data), 0, 0, offset)
            + struct.pack("<IiiHHIIiiII", 40, w, -h if top_down else h, 1, bpp, compression, len(data), 2835, 2835,
                          len(palette) // 4, 0) + palette + data)

put("bmp-top-down.bmp", bmp(5, 3, top_down=True))
put("bmp-huge.bmp", bmp(60000, 60000, data=b"\0" * 64))
put("bmp-side-limit.bmp", bmp(32767, 1, bpp=1, palette=bytes(8)))
put("bmp-over-side.bmp", bmp(32768, 1, data=b"\0" * 64))
put("bmp-bitfields.bmp", bmp(4, 2, bpp=16, compression=3, palette=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
put("bmp-rle8-runaway.bmp", bmp(4, 4, bpp=8, compression=1, palette=bytes(4 * 2), data=bytes([0, 2, 200, 100, 255, 1, 0, 1])))
put("bmp-rle4.bmp", bmp(6, 2, bpp=4, compression=2, palette=bytes(4 * 16), data=bytes([6, 0x12, 0, 0, 6, 0x34, 0, 1])))

def png(w, h, color_type=2, depth=8, rows=None):
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    rows = rows if rows is not None else b"".join(b"\0" + bytes(w * 3) for _ in range(min(h, 4)))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, color_type, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))

put("png-4x4.png", png(4, 4))
put("png-huge.png", png(100000, 100000))
put("png-bomb.png", png(128, 128, rows=b"".join(b"\0" + bytes(384) for _ in range(128))))
# Headers that promise far more than their data holds, 8 and 16 bits.
put("png-promise-8.png", png(11585, 11585, 6, 8, rows=bytes(600)))
put("png-promise-16.png", png(11585, 11585, 6, 16, rows=bytes(600)))

def png_of(w, h, color_type, depth, interlace=False, palette=0, trns=b""):
    # Small pictures of every format, each row with the next of the five filters.
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[color_type]
    passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
    rows, n = bytearray(), 0
    for x0, y0, dx, dy in (passes if interlace else [(0, 0, 1, 1)]):
        cols, count = (w - x0 + dx - 1) // dx, (h - y0 + dy - 1) // dy
        if cols <= 0 or count <= 0: continue
        for _ in range(count):
            rows.append(n % 5)
            rows += bytes((n * 31 + i * 7) % 256 for i in range((cols * channels * depth + 7) // 8))
            n += 1
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, color_type, 0, 0, int(interlace)))
    if palette: out += chunk(b"PLTE", bytes((i * 53) % 256 for i in range(3 * palette)))
    if trns: out += chunk(b"tRNS", trns)
    return out + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b"")

for depth in (1, 2, 4, 8, 16):
    put(f"png-grey{depth}.png", png_of(9, 7, 0, depth, trns=b"\0\1"))
    put(f"png-grey{depth}-adam7.png", png_of(11, 10, 0, depth, True))
for depth in (1, 2, 4, 8):
    put(f"png-palette{depth}.png", png_of(9, 7, 3, depth, palette=1 << (depth - 1), trns=b"\x00\x80"))
    put(f"png-palette{depth}-adam7.png", png_of(10, 9, 3, depth, True, palette=1 << depth))
for color_type in (2, 4, 6):
    for depth in (8, 16):
        put(f"png-type{color_type}-{depth}.png", png_of(9, 7, color_type, depth, trns=b"\0\1\0\2\0\3" if color_type == 2 else b""))
        put(f"png-type{color_type}-{depth}-adam7.png", png_of(12, 9, color_type, depth, True))

# Animated PNGs by hand: the default image in the animation or not, frames placed and disposed
# every way, interlaced, 16-bit, cut short, out of order and of a size their data cannot fill.
def apng(w, h, frames, color_type=6, depth=8, interlace=False, image_is_frame=True, plays=0, palette=0):
    chunk = lambda t, d: struct.pack(">I", len(d)) + t + d + struct.pack(">I", zlib.crc32(t + d))
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[color_type]
    def stream(fw, fh, seed):
        if fw * fh > 4096: return zlib.compress(bytes(600))  # far too little for its rows
        passes = [(0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4), (1, 0, 2, 2), (0, 1, 1, 2)]
        rows = bytearray()
        for x0, y0, dx, dy in (passes if interlace else [(0, 0, 1, 1)]):
            cols, count = (fw - x0 + dx - 1) // dx, (fh - y0 + dy - 1) // dy
            for y in range(count if cols > 0 else 0):
                rows += bytes([y % 5]) + bytes((seed * 17 + y * 7 + i * 3) % 256 for i in range((cols * channels * depth + 7) // 8))
        return zlib.compress(bytes(rows), 9)
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, color_type, 0, 0, int(interlace)))
    if palette: out += chunk(b"PLTE", bytes((i * 53) % 256 for i in range(3 * palette))) + chunk(b"tRNS", b"\0\x80")
    out += chunk(b"acTL", struct.pack(">II", len(frames), plays))
    seq = 0
    for k, (fw, fh, x, y, dispose, blend) in enumerate(frames):
        fctl = chunk(b"fcTL", struct.pack(">IIIIIHHBB", seq, fw, fh, x, y, 1, 10 * k, dispose, blend))
        seq += 1
        if k == 0 and image_is_frame:
            out += fctl + chunk(b"IDAT", stream(fw, fh, k))
            continue
        if k == 0:
            out += chunk(b"IDAT", stream(w, h, 99))
        out += fctl + chunk(b"fdAT", struct.pack(">I", seq) + stream(fw, fh, k))
        seq += 1
    return out + chunk(b"IEND", b"")

moves = [(8, 6, 0, 0, 0, 0), (3, 2, 1, 1, 1, 1), (4, 4, 4, 2, 2, 1), (8, 1, 0, 5, 2, 0)]
put("apng-rgba.png", apng(8, 6, moves))
put("apng-outside.png", apng(8, 6, moves, image_is_frame=False, plays=3))
put("apng-adam7-16.png", apng(8, 6, moves, 6, 16, interlace=True))
put("apng-grey2.png", apng(8, 6, moves, 0, 2))
put("apng-palette4.png", apng(8, 6, moves, 3, 4, palette=16))
put("apng-out-of-order.png", apng(8, 6, moves).replace(struct.pack(">I", 4) + b"\x78", struct.pack(">I", 7) + b"\x78", 1))
put("apng-huge-frame.png", apng(32767, 4096, [(4, 4, 0, 0, 0, 0), (32767, 4096, 0, 0, 0, 0)], image_is_frame=False))
put("apng-cut.png", apng(8, 6, moves)[:-40])

# JPEG edge files from the baseline seed: huge and zero sizes in the frame header.
base = os.path.join(seeds, "baseline.jpg")
if os.path.exists(base):
    jpg = open(base, "rb").read()
    sof = jpg.find(b"\xFF\xC0")
    if sof > 0:
        for name, (h, w) in {"jpg-huge": (65500, 65500), "jpg-zero-width": (12, 0),
                             "jpg-side-limit": (2, 32767)}.items():
            put(name + ".jpg", jpg[:sof + 5] + struct.pack(">HH", h, w) + jpg[sof + 9:])

# JPEGs with an Exif orientation, in both byte orders and with the tag out of range.
def exif(order, value, tag=0x0112, kind=3):
    e = "<" if order == b"II" else ">"
    tiff = order + struct.pack(e + "HIH", 42, 8, 1) + struct.pack(e + "HHIHH", tag, kind, 1, value, 0) + bytes(4)
    return b"\xFF\xE1" + struct.pack(">H", 8 + len(tiff)) + b"Exif\0\0" + tiff

if os.path.exists(base):
    for name, segment in {"exif-6-le": exif(b"II", 6), "exif-5-be": exif(b"MM", 5), "exif-9": exif(b"II", 9),
                          "exif-long": exif(b"MM", 8, kind=4)}.items():
        put(name + ".jpg", jpg[:2] + segment + jpg[2:])

# Truncated copies, and the empty file.
for name in sorted(os.listdir(seeds)):
    data = open(os.path.join(seeds, name), "rb").read()
    if len(data) > 16 and not name.startswith("cut-"):
        put("cut-" + name, data[: len(data) // 2])
# Settings files as people write them.
put("ini-crlf-bom.ini", b"\xef\xbb\xbf[Settings]\r\nAniFile=/x.jpg\r\nMousesens=5\r\n")
put("ini-hand.ini", b"; mine\nstray=1\n\n[ settings ]\nANIFILE = C:\\a\\x41 b.jpg \n#c\n[Other\nMousesens=4\r[Other]\rk=v")
put("empty", b"")
put("one-byte", b"G")
put("gif-magic-only", b"GIF89a")
EOF
echo "seed corpus: $(ls "$seeds" | wc -l) files in $seeds"

# Each target runs alone and at a lower priority, so the machine stays usable meanwhile. Leak
# checks would stop at every input that fills a cache; they run once over the corpus instead.
# A memory file system keeps the splitter's scratch files off the disk.
scratch=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$scratch"' EXIT
total=0
summary=""
status=0
for entry in "${targets[@]}"; do
  t=${entry%%:*}
  secs=$seconds
  [ "$entry" = "$t" ] || secs=${entry#*:}
  mkdir -p "$build/corpus/$t"
  log="$build/$t.log"
  # The size guard lets a picture take 512 MB, and a decoder may hold two copies of it.
  options=(-timeout=30 -rss_limit_mb=4096 -artifact_prefix="$build/")
  # The PNG reader takes no more memory than its data can fill: a kilobyte of it at most 34 MB.
  [ "$t" != png_fuzz ] || options+=(-malloc_limit_mb=64 -max_len=1024)
  # An animation's frames the same, a few of them to a file.
  [ "$t" != apng_fuzz ] || options+=(-malloc_limit_mb=64 -max_len=2048)
  [ -z "${FUZZ_RUNS:-}" ] || options+=(-runs="$FUZZ_RUNS")
  set +e
  TMPDIR="$scratch" nice -n 10 "$build/bench/$t" "${options[@]}" -max_total_time="$secs" -detect_leaks=0 \
    -print_final_stats=1 "$build/corpus/$t" "$seeds" >"$log" 2>&1
  rc=$?
  [ $rc -eq 0 ] && TMPDIR="$scratch" LSAN_OPTIONS="suppressions=$PWD/bench/lsan_suppressions.txt" nice -n 10 "$build/bench/$t" "${options[@]}" -runs=0 -detect_leaks=1 \
    "$build/corpus/$t" "$seeds" >>"$log" 2>&1
  rc=$((rc + $?))
  set -e
  runs=$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | head -n1)
  runs=${runs:-0}
  total=$((total + runs))
  if [ $rc -ne 0 ]; then
    status=1
    summary+="$t: $runs executions, FAILED, see $log"$'\n'
  else
    took=$(grep -E '^Done [0-9]+ runs in' "$log" | awk '{print $5}' | head -n1)
    summary+="$t: $runs executions in ${took:-$secs}s, $(ls "$build/corpus/$t" | wc -l) inputs in its corpus"$'\n'
  fi
done
printf '%s' "$summary"
echo "total: $total executions"
exit $status
