#include "support/jpeg_samples.h"

#include <iterator>
#include <stdexcept>

namespace mv::test {

namespace {
#include "jpeg_samples.inc"
}  // namespace

std::vector<uint8_t> cmykJpeg() { return {std::begin(k_cmyk), std::end(k_cmyk)}; }
std::vector<uint8_t> progressiveJpeg() { return {std::begin(k_progressive), std::end(k_progressive)}; }

std::vector<uint8_t> withExifOrientation(std::vector<uint8_t> jpeg, int orientation) {
    // Little-endian TIFF header, one directory of one entry: tag 0x0112, SHORT, count 1.
    const std::vector<uint8_t> exif = {0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
                                       'I', 'I', 42, 0, 8, 0, 0, 0,
                                       1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, static_cast<uint8_t>(orientation), 0, 0, 0,
                                       0, 0, 0, 0};
    jpeg.insert(jpeg.begin() + 2, exif.begin(), exif.end());
    return jpeg;
}

std::vector<uint8_t> withFrameWidth(std::vector<uint8_t> jpeg, int width) {
    for (size_t i = 2; i + 9 < jpeg.size();) {
        if (jpeg[i] != 0xFF) throw std::runtime_error("not a JPEG segment");
        const uint8_t marker = jpeg[i + 1];
        if (marker >= 0xC0 && marker <= 0xC2) {
            jpeg[i + 7] = static_cast<uint8_t>(width >> 8);
            jpeg[i + 8] = static_cast<uint8_t>(width);
            return jpeg;
        }
        i += 2 + (size_t{jpeg[i + 2]} << 8 | jpeg[i + 3]);
    }
    throw std::runtime_error("no frame header");
}

}  // namespace mv::test
