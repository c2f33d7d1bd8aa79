#pragma once
// WebP stills through libwebp.
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

// Decoded straight into the bitmap, scaled by libwebp itself to `floor`'s size where that is
// smaller. An animated WebP gives its first frame as shown. The declared size is checked
// before any pixel memory. Throws ErrInvalidPicture.
PicturePtr decodeWebp(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

}  // namespace mv::qt
