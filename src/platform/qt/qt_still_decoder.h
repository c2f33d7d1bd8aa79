#pragma once
#include <cstdint>
#include <vector>

#include "platform/picture/picture.h"

namespace mv::qt {

// Decodes a still picture (BMP, JPG, and whatever else Qt's image readers know) into 32-bit
// pixels. The size in the file's header is checked before any pixel is decoded, so a small
// file that claims a huge picture is refused instead of allocated. Throws ErrInvalidPicture.
PicturePtr decodeStill(const std::vector<uint8_t>& bytes);

}  // namespace mv::qt
