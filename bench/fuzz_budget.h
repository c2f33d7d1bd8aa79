#pragma once
// What the fuzz targets decode. Inputs that declare a picture between this budget and the size
// guard are skipped: decoding them only spends time and memory on more of the same pixels,
// while inputs beyond the guard still show that it refuses them. Under the sanitizers a larger
// picture's buffers are mapped and faulted in afresh for every input, which would cost most of
// the time; at this size every target runs at about a thousand inputs a second or more.
#include <cstddef>
#include <cstdint>

#include "platform/error.h"
#include "platform/picture/gif/gif_format.h"
#include "platform/picture/picture.h"

namespace mv::fuzz {

constexpr int64_t kFuzzPixels = int64_t{1} << 14;

inline bool worthDecoding(int64_t w, int64_t h) {
    return w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels ||
           w * h <= kFuzzPixels;
}

// The GIF reader decodes a picture's image whole as soon as it reads the file, at the image's
// own size, which may be far larger than the logical screen; its header parse tells both.
inline bool gifWorthDecoding(const uint8_t* data, size_t size) {
    try {
        const auto image = gif::parseGif(data, size);
        return worthDecoding(image.width, image.height) && worthDecoding(image.canvasWidth, image.canvasHeight);
    } catch (const PlatformError&) {
        return true;  // refused before any pixel is decoded
    }
}

// A decoded picture lies within the size guard and paints, clipped, into a small target.
inline void checkPicture(const PicturePtr& picture) {
    const int w = picture ? picture->width() : 0, h = picture ? picture->height() : 0;
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || int64_t{w} * h > kMaxPicturePixels)
        __builtin_trap();
    Bitmap target;
    target.resize(37, 23, 0);
    picture->stretchTo(target, -5, 3, 50, 19, 0x123456);
}

}  // namespace mv::fuzz
