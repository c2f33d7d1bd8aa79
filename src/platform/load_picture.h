#pragma once
#include <string>

#include "picture.h"

namespace mv {

class Platform;

// Loads a picture file: GIFs (by content, whatever the name) through the portable GIF reader,
// which decodes the first image; anything else through the platform's still decoder.
// Throws ErrFileNotFound for a missing file and ErrInvalidPicture for an unreadable one.
PicturePtr LoadPicture(Platform& platform, const std::string& path);

}  // namespace mv
