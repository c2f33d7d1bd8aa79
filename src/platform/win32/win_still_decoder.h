#pragma once
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::win32 {

// Decodes BMP and JPG bytes with the bundled stb_image, so that every Windows version (and
// Wine) reads a file the same way. The header is read first and pictures beyond the size
// guard are refused before any pixel memory is allocated. Given a floor, a JPEG comes back
// averaged down by 2, 4 or 8 where it stays at least that large. Throws ErrInvalidPicture.
PicturePtr decodeStillStb(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

}  // namespace mv::win32
