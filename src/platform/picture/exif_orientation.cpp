#include "platform/picture/exif_orientation.h"

#include <cstring>

namespace mv {

namespace {

constexpr int kAsStored = 1;
constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShortType = 3;

// The orientation entry of the first image directory of the TIFF structure inside the Exif
// segment; every offset is checked against the segment's end.
int tiffOrientation(const uint8_t* t, size_t n) {
    if (n < 8) return kAsStored;
    const bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M')) return kAsStored;
    const auto u16 = [&](size_t at) -> uint32_t {
        return little ? t[at] | t[at + 1] << 8 : t[at] << 8 | t[at + 1];
    };
    const auto u32 = [&](size_t at) -> uint32_t { return little ? u16(at) | u16(at + 2) << 16 : u16(at) << 16 | u16(at + 2); };
    if (u16(2) != 42) return kAsStored;
    const size_t dir = u32(4);
    if (dir + 2 > n) return kAsStored;
    const size_t entries = u16(dir);
    for (size_t i = 0; i < entries; ++i) {
        const size_t e = dir + 2 + 12 * i;
        if (e + 12 > n) return kAsStored;
        if (u16(e) != kOrientationTag) continue;
        if (u16(e + 2) != kShortType || u32(e + 4) != 1) return kAsStored;
        const uint32_t value = u16(e + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : kAsStored;
    }
    return kAsStored;
}

}  // namespace

// Walks the segments before the image data looking for the first Exif APP1 segment.
int exifOrientation(const std::vector<uint8_t>& b) {
    const size_t n = b.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return kAsStored;
    size_t pos = 2;
    while (pos + 4 <= n) {
        if (b[pos] != 0xFF) return kAsStored;
        const uint8_t marker = b[pos + 1];
        if (marker == 0xFF) { ++pos; continue; }  // fill byte
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { pos += 2; continue; }  // no length
        if (marker == 0xDA || marker == 0xD9) return kAsStored;  // image data: no Exif before it
        const size_t length = size_t{b[pos + 2]} << 8 | b[pos + 3];
        if (length < 2 || length > n - pos - 2) return kAsStored;
        const uint8_t* body = b.data() + pos + 4;
        const size_t bodyLength = length - 2;
        if (marker == 0xE1 && bodyLength >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return tiffOrientation(body + 6, bodyLength - 6);
        pos += 2 + length;
    }
    return kAsStored;
}

Bitmap orientedPixels(const Bitmap& s, int orientation) {
    if (orientation < 2 || orientation > 8) return s;
    const int w = s.width, h = s.height;
    const bool swaps = orientation >= 5;
    // Source position = origin + x * stepX + y * stepY, in (column, row).
    struct Map { int ox, oy, xx, xy, yx, yy; };
    static constexpr Map kMaps[9] = {{}, {}, {1, 0, -1, 0, 0, 1}, {1, 1, -1, 0, 0, -1}, {0, 1, 1, 0, 0, -1},
                                     {0, 0, 0, 1, 1, 0}, {0, 1, 0, -1, 1, 0}, {1, 1, 0, -1, -1, 0}, {1, 0, 0, 1, -1, 0}};
    const Map& m = kMaps[orientation];
    Bitmap d;
    d.resize(swaps ? h : w, swaps ? w : h);
    const int64_t ox = m.ox * (w - 1), oy = m.oy * (h - 1);
    for (int y = 0; y < d.height; ++y) {
        uint32_t* out = d.row(y);
        for (int x = 0; x < d.width; ++x)
            out[x] = s.row(static_cast<int>(oy + m.xy * x + m.yy * y))[ox + m.xx * x + m.yx * y];
    }
    return d;
}

}  // namespace mv
