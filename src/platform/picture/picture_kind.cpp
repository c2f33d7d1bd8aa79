#include "platform/picture/picture_kind.h"

#include <array>
#include <cstring>

namespace mv {

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

PictureKind PictureKindOf(const uint8_t* data, size_t size) {
    auto starts = [&](const char* magic, size_t length) { return size >= length && std::memcmp(data, magic, length) == 0; };
    static constexpr uint8_t jxlContainer[12] = {0, 0, 0, 0x0C, 'J', 'X', 'L', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    if (size >= 2 && data[0] == 0xFF && data[1] == 0x0A) return PictureKind::JpegXl;
    if (size >= 12 && std::memcmp(data, jxlContainer, 12) == 0) return PictureKind::JpegXl;
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return PictureKind::WebP;
    if (heif(data, size)) return PictureKind::Heif;
    if (starts("\xFF\xD8\xFF", 3)) return PictureKind::Jpeg;
    if (starts("GIF8", 4)) return PictureKind::Gif;
    if (starts("\x89PNG\r\n\x1A\n", 8)) return PictureKind::Png;
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return PictureKind::Tiff;
    // The two letters alone would take in text files: the header's size must say BMP too.
    if (starts("BM", 2) && size >= 18) {
        const uint32_t header = data[14] | uint32_t{data[15]} << 8 | uint32_t{data[16]} << 16 | uint32_t{data[17]} << 24;
        if (header == 12 || header == 40 || header == 52 || header == 56 || header == 108 || header == 124)
            return PictureKind::Bmp;
    }
    return PictureKind::Other;
}

}  // namespace mv
