#pragma once
// The way up of a photo: cameras store a portrait picture as landscape pixels and say in the
// JPEG's Exif data how to turn it.
#include <cstdint>
#include <vector>

#include "platform/picture/bitmap.h"

namespace mv {

// The Exif orientation of a JPEG file's bytes, 1 (as stored) to 8. A file that is no JPEG, has
// no Exif data, or whose tag is damaged, missing or out of range is shown as stored: 1.
int exifOrientation(const std::vector<uint8_t>& bytes);

// The stored pixels turned and mirrored the way `orientation` (1 to 8) says they are seen;
// orientations 5 to 8 swap width and height.
Bitmap orientedPixels(const Bitmap& stored, int orientation);

}  // namespace mv
