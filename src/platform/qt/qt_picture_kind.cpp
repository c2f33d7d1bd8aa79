#include "platform/qt/qt_picture_kind.h"

#include <array>
#include <cstring>

namespace mv::qt {

namespace {

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool heifBrand(const uint8_t* brand) {
    // Still and sequence brands of HEVC, AV1 and the format-neutral structural ones.
    static constexpr std::array<const char*, 14> brands = {"heic", "heix", "hevc", "hevx", "heim", "heis", "hevm",
                                                           "hevs", "mif1", "msf1", "miaf", "mif2", "avif", "avis"};
    for (const char* b : brands)
        if (std::memcmp(brand, b, 4) == 0) return true;
    return false;
}

// An ISO-BMFF file opens with its `ftyp` box: a major brand, a minor version, then compatible
// brands up to the box's end. Any of them naming a HEIF brand will do.
bool heif(const uint8_t* data, size_t size) {
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
    const size_t box = bigEndian32(data);
    if (box < 16) return false;
    if (heifBrand(data + 8)) return true;
    const size_t end = box < size ? box : size;
    for (size_t at = 16; at + 4 <= end; at += 4)
        if (heifBrand(data + at)) return true;
    return false;
}

}  // namespace

PictureKind pictureKind(const uint8_t* data, size_t size) {
    static constexpr uint8_t jxlContainer[12] = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    if (size >= 2 && data[0] == 0xFF && data[1] == 0x0A) return PictureKind::JpegXl;
    if (size >= 12 && std::memcmp(data, jxlContainer, 12) == 0) return PictureKind::JpegXl;
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return PictureKind::WebP;
    if (heif(data, size)) return PictureKind::Heif;
    return PictureKind::Other;
}

}  // namespace mv::qt
