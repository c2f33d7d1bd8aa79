#pragma once
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::win32 {

// Decodes the first picture of a file through the Windows Imaging Component: whatever codecs
// the system has (TIFF, JPEG XR, and where installed HEIF, AVIF, WebP, JPEG XL...). The size
// the file claims is checked against the size guard before any pixel is read. Given a floor,
// the picture comes back no larger than useful: at a size the codec decodes cheaply where it
// offers one, else averaged down while its rows are read. Pixels keep their straight alpha;
// an opaque format's are fully opaque. Throws ErrInvalidPicture for a type without a codec
// here, a damaged file or one beyond the guard.
PicturePtr decodeStillWic(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

// Whether bytes are a BMP or a JPEG, which the bundled decoder reads the same on every system
// (and faster than the system's codec does under some).
bool bundledDecoderReads(const std::vector<uint8_t>& bytes);

}  // namespace mv::win32
