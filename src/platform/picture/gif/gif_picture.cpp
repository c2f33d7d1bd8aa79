#include "platform/picture/gif/gif_picture.h"

#include <algorithm>
#include <cstring>

#include "platform/error.h"
#include "platform/files/files.h"
#include "platform/picture/gif/gif_lzw.h"
#include "platform/picture/resample.h"

namespace mv {

GifPicture::GifPicture(gif::GifImage image, DataSpan span) : image_(std::move(image)), span_(std::move(span)) {
    std::vector<uint8_t>().swap(image_.lzw);
}

GifPicture::~GifPicture() { gif::indexCache().forget(this); }

uint64_t dataFingerprint(const std::vector<uint8_t>& joined) {
    uint64_t h = 1469598103934665603ull ^ joined.size();
    const size_t n = joined.size();
    for (size_t k = 0; k < 64 && n > 0; ++k) {
        h ^= joined[k * (n - 1) / 63];
        h *= 1099511628211ull;
    }
    return h;
}

std::shared_ptr<const GifPicture> GifPicture::withDataIn(std::shared_ptr<const std::string> path, uint64_t offset) const {
    DataSpan span{std::move(path), offset, image_.dataEnd - image_.dataBegin, lzw_.size(), dataFingerprint(lzw_)};
    auto moved = std::make_shared<const GifPicture>(image_, std::move(span));
    gif::indexCache().transfer(this, moved.get());
    return moved;
}

gif::Indices GifPicture::indices() const {
    return gif::indexCache().get<uint8_t>(this, [this] { return decode(); });
}

// Rows below the logical screen never show: an image far taller than its screen is decoded
// only as far down as the screen reaches (an interlaced one needs all its passes).
size_t GifPicture::decodedRows() const {
    const auto& img = image_;
    return static_cast<size_t>(img.interlaced ? img.height : std::clamp(img.canvasHeight - img.top, 0, img.height));
}

size_t GifPicture::decodedBytes() const { return static_cast<size_t>(image_.width) * decodedRows(); }

std::vector<uint8_t> GifPicture::decode() const {
    const auto& img = image_;
    std::vector<uint8_t> fromFile;
    if (dataInFile()) {
        const auto raw = files::readRange(*span_.path, span_.offset, span_.length);
        gif::joinSubBlocks(raw.data(), raw.size(), fromFile);
        if (fromFile.size() != span_.joinedSize || dataFingerprint(fromFile) != span_.fingerprint)
            throw PlatformError(ErrInvalidPicture, "The picture file changed");
    }
    const std::vector<uint8_t>& lzw = dataInFile() ? fromFile : lzw_;
    const size_t w = static_cast<size_t>(img.width), h = decodedRows();
    // Pixels the stream does not reach stay transparent when the image has a transparent colour.
    const uint8_t fill = img.transparentIndex >= 0 ? static_cast<uint8_t>(img.transparentIndex) : 0;
    std::vector<uint8_t> out(w * h, fill);
    if (out.empty()) return out;
    if (!img.interlaced) {
        gif::lzwDecode(lzw.data(), lzw.size(), img.minCodeSize, out.data(), out.size());
        return out;
    }
    std::vector<uint8_t> passes(w * h, fill);
    gif::lzwDecode(lzw.data(), lzw.size(), img.minCodeSize, passes.data(), passes.size());
    static constexpr size_t kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    size_t src = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (size_t row = kStart[pass]; row < h; row += kStep[pass], ++src)
            std::memcpy(out.data() + row * w, passes.data() + src * w, w);
    return out;
}

// Each canvas row goes through the palette (the transparent colour and the uncovered parts
// taking the background colour) and is stretched as stills are.
void GifPicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    // Nothing to decode or compose when the rectangle misses the target.
    if (missesTarget(dst, x, y, w, h)) return;
    const auto& img = image_;
    const uint32_t bg = colorToPixel(backColor);
    uint32_t palette[256];
    std::memcpy(palette, img.palette->data(), sizeof palette);
    if (img.transparentIndex >= 0) palette[img.transparentIndex] = bg;

    const gif::Indices decoded = indices();
    const int64_t decodedRows = img.width > 0 ? static_cast<int64_t>(decoded->size() / static_cast<size_t>(img.width)) : 0;
    // Columns [inA, inB) of a canvas row fall inside the image.
    const int cw = img.canvasWidth;
    const int inA = std::clamp(img.left, 0, cw);
    const int inB = std::clamp(static_cast<int>(std::min<int64_t>(int64_t{img.left} + img.width, cw)), inA, cw);
    resampleInto(dst, x, y, w, h, cw, img.canvasHeight, [&](int cy, uint32_t* out) -> const uint32_t* {
        const int64_t sy = int64_t{cy} - img.top;
        if (sy < 0 || sy >= decodedRows || inA >= inB) {
            std::fill(out, out + cw, bg);
            return out;
        }
        std::fill(out, out + inA, bg);
        const uint8_t* src = decoded->data() + static_cast<size_t>(sy) * static_cast<size_t>(img.width) +
                             static_cast<size_t>(inA - img.left);
        for (int cx = inA; cx < inB; ++cx) out[cx] = palette[*src++];
        std::fill(out + inB, out + cw, bg);
        return out;
    });
}

PicturePtr decodeGifPicture(std::vector<uint8_t> bytes) {
    auto picture = std::make_shared<GifPicture>(gif::parseGif(bytes.data(), bytes.size()));
    return picture;
}

}  // namespace mv
