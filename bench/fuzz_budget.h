#pragma once
// What the fuzz targets decode. Inputs that declare a picture between this budget and the size
// guard are skipped: decoding them only spends time and memory on more of the same pixels,
// while inputs beyond the guard still show that it refuses them. It keeps every target at
// thousands of inputs a second.
#include <cstddef>
#include <cstdint>

#include "platform/picture.h"

namespace mv::fuzz {

constexpr int64_t kFuzzPixels = int64_t{1} << 16;

inline bool worthDecoding(int64_t w, int64_t h) {
    return w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels ||
           w * h <= kFuzzPixels;
}

// By a GIF's logical screen, read from its header; anything else is worth a try.
inline bool gifScreenWorthDecoding(const uint8_t* data, size_t size) {
    if (size < 10 || data[0] != 'G' || data[1] != 'I' || data[2] != 'F') return true;
    return worthDecoding(data[6] | data[7] << 8, data[8] | data[9] << 8);
}

}  // namespace mv::fuzz
