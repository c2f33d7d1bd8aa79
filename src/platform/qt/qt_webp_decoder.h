#pragma once
// WebP stills through libwebp.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

// Decoded straight into the bitmap, scaled by libwebp itself to `floor`'s size where that is
// smaller. The declared size is checked before any pixel memory. An animated WebP is refused
// here: the loader shows its first frame from its frame source. Throws ErrInvalidPicture.
PicturePtr decodeWebp(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {});

// One VP8 or VP8L bitstream (a still's, or a frame's) decoded straight into a width x height
// bitmap of straight-alpha pixels, libwebp scaling it where that differs from its coded size.
// Throws ErrInvalidPicture.
Bitmap decodeWebpPixels(const uint8_t* data, size_t size, int width, int height);

}  // namespace mv::qt
