#pragma once
#include <cstdint>
#include <vector>

#include "../picture.h"

namespace mv {

// Decodes the first image of a GIF file, also one that ends without a trailer or without the
// last data sub-block terminator. Throws ErrInvalidPicture for anything it cannot read.
PicturePtr decodeGifPicture(std::vector<uint8_t> bytes);

}  // namespace mv
