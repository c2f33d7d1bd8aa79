#pragma once
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

// Decodes a still picture (HEIF/HEIC, AVIF, JPEG XL and WebP by their own libraries; BMP, JPG,
// and whatever else Qt's image readers know) into 32-bit
// pixels. The size in the file's header is checked before any pixel is decoded, so a small
// file that claims a huge picture is refused instead of allocated. Given a floor, a JPEG is
// decoded at 1/2, 1/4 or 1/8 of its size by the JPEG library's own scaling where that stays at
// least the floor. Throws ErrInvalidPicture.
PicturePtr decodeStill(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

}  // namespace mv::qt
