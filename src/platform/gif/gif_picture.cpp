#include "gif_picture.h"

#include "../error.h"

namespace mv {

// Placeholder until the GIF reader lands.
PicturePtr decodeGifPicture(std::vector<uint8_t>) {
    throw PlatformError(ErrInvalidPicture, "GIF reading is not available yet");
}

}  // namespace mv
