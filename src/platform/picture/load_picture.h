#pragma once
#include <string>

#include "platform/picture/picture.h"

namespace mv {

class Platform;

// No picture we accept needs a larger file (32-bit pixels plus headers); reading a larger one
// whole would only cost memory before the decoder refuses it.
constexpr int64_t kMaxPictureFileBytes = kMaxPicturePixels * 4 + 1024 * 1024;

// Loads a picture file: GIFs (by content, whatever the name) through the portable GIF reader,
// which decodes the first image; PNGs through the portable PNG reader; anything else through
// the platform's still decoder.
// Throws ErrFileNotFound for a missing file and ErrInvalidPicture for an unreadable one.
PicturePtr LoadPicture(Platform& platform, const std::string& path);

}  // namespace mv
