#include "platform/picture/gif/gif_format.h"

#include <algorithm>
#include <mutex>

#include "platform/error.h"
#include "platform/picture/picture.h"

namespace mv::gif {
namespace {

[[noreturn]] void invalid(const char* why) { throw PlatformError(ErrInvalidPicture, why); }

class Reader {
public:
    Reader(const uint8_t* b, size_t n) : b_(b), n_(n) {}
    bool has(size_t count) const { return count <= n_ - pos_; }
    bool atEnd() const { return pos_ >= n_; }
    uint8_t byte() { return b_[pos_++]; }
    uint8_t peek() const { return b_[pos_]; }
    unsigned u16() {
        const unsigned v = b_[pos_] | (b_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    void skip(size_t count) { pos_ = has(count) ? pos_ + count : n_; }
    const uint8_t* here() const { return b_ + pos_; }
    size_t left() const { return n_ - pos_; }

    // Skips data sub-blocks up to and including their terminator, or to the end of the bytes.
    void skipSubBlocks() {
        while (!atEnd()) {
            const uint8_t len = byte();
            if (len == 0) return;
            skip(len);
        }
    }

private:
    const uint8_t* b_;
    size_t n_;
    size_t pos_ = 0;
};

void readColorTable(Reader& r, unsigned packed, std::array<uint32_t, 256>& palette) {
    const size_t entries = size_t{2} << (packed & 7);
    if (!r.has(entries * 3)) invalid("Truncated colour table");
    palette.fill(0xFF000000u);
    for (size_t i = 0; i < entries; ++i) {
        const uint32_t red = r.byte(), green = r.byte(), blue = r.byte();
        palette[i] = 0xFF000000u | red << 16 | green << 8 | blue;
    }
}

void checkSize(int64_t w, int64_t h) {
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels)
        invalid("Picture size out of range");
}

}  // namespace

void joinSubBlocks(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out) {
    // Measure first so the joined data is allocated once and never beyond the bytes.
    size_t total = 0;
    for (size_t at = 0; at < size;) {
        const uint8_t len = bytes[at++];
        if (len == 0) break;
        const size_t take = std::min<size_t>(len, size - at);
        total += take;
        at += take;
    }
    out.reserve(out.size() + total);
    for (size_t at = 0; at < size;) {
        const uint8_t len = bytes[at++];
        if (len == 0) break;
        const size_t take = std::min<size_t>(len, size - at);
        out.insert(out.end(), bytes + at, bytes + at + take);
        at += take;
    }
}

PalettePtr greyPalette() {
    static const PalettePtr grey = [] {
        auto p = std::make_shared<Palette>();
        for (uint32_t i = 0; i < 256; ++i) (*p)[i] = 0xFF000000u | i << 16 | i << 8 | i;
        return PalettePtr(p);
    }();
    return grey;
}

namespace {
// The table made last, lent to the next image with the same colours (every frame of an
// animation repeats the file's global table).
PalettePtr shared(const Palette& colours) {
    static std::mutex lock;
    static std::weak_ptr<const Palette> last;
    std::lock_guard hold(lock);
    if (auto p = last.lock(); p && *p == colours) return p;
    auto made = std::make_shared<const Palette>(colours);
    last = made;
    return made;
}
}  // namespace

GifImage parseGif(const uint8_t* bytes, size_t size) {
    Reader r(bytes, size);
    if (size < 13 || bytes[0] != 'G' || bytes[1] != 'I' || bytes[2] != 'F') invalid("Not a GIF file");
    r.skip(6);
    GifImage img;
    const int screenW = static_cast<int>(r.u16());
    const int screenH = static_cast<int>(r.u16());
    const unsigned screenFlags = r.byte();
    r.skip(2);  // background index, aspect ratio
    // Without a table the indices show as shades of grey rather than failing the picture.
    Palette colours = *greyPalette();
    if (screenFlags & 0x80) readColorTable(r, screenFlags, colours);

    int transparent = -1, disposal = 0;
    while (!r.atEnd()) {
        const uint8_t introducer = r.byte();
        if (introducer == 0x21) {
            if (r.atEnd()) break;
            const uint8_t label = r.byte();
            if (label == 0xF9 && r.has(5) && r.peek() >= 4) {
                const uint8_t* gce = r.here();  // size, flags, delay (2), transparent index
                transparent = (gce[1] & 1) ? gce[4] : -1;
                disposal = (gce[1] >> 2) & 7;
            }
            r.skipSubBlocks();
        } else if (introducer == 0x2C) {
            if (!r.has(9)) invalid("Truncated image descriptor");
            img.left = static_cast<int>(r.u16());
            img.top = static_cast<int>(r.u16());
            img.width = static_cast<int>(r.u16());
            img.height = static_cast<int>(r.u16());
            const unsigned flags = r.byte();
            img.interlaced = (flags & 0x40) != 0;
            if (flags & 0x80) readColorTable(r, flags, colours);
            img.palette = shared(colours);
            if (r.atEnd()) invalid("No image data");
            img.minCodeSize = r.byte();
            if (img.minCodeSize < 1 || img.minCodeSize > 8) invalid("Bad LZW code size");
            img.transparentIndex = transparent;
            img.disposal = disposal;
            img.canvasWidth = screenW > 0 ? screenW : img.left + img.width;
            img.canvasHeight = screenH > 0 ? screenH : img.top + img.height;
            checkSize(img.canvasWidth, img.canvasHeight);
            if (img.width > 0 && img.height > 0) checkSize(img.width, img.height);
            img.dataBegin = size - r.left();
            joinSubBlocks(r.here(), r.left(), img.lzw);
            // Past the data: where the joined bytes and their length bytes end.
            size_t end = img.dataBegin;
            while (end < size) {
                const uint8_t len = bytes[end++];
                if (len == 0) break;
                end = std::min(size, end + len);
            }
            img.dataEnd = end;
            return img;
        } else if (introducer == 0x00) {
            continue;  // a stray block terminator between blocks is harmless
        } else {
            break;  // the trailer, or bytes that are no block at all
        }
    }
    invalid("No image in GIF file");
}

}  // namespace mv::gif
