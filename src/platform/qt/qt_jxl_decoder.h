#pragma once
// JPEG XL stills through libjxl, as 8-bit sRGB.
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

// The first displayed frame, turned as the file says. The declared size is checked before any
// pixel memory; the picture is decoded straight into the bitmap, and an opaque one larger than
// `floor` asks is then averaged down to it. Throws ErrInvalidPicture.
PicturePtr decodeJxl(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

}  // namespace mv::qt
