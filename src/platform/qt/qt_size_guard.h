#pragma once
// The size guard as the library-bound readers apply it: to the size a file declares, before the
// library is asked for a single pixel.
#include <cstdint>

#include "platform/error.h"
#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::qt {

inline PlatformError invalidPicture() { return PlatformError(ErrInvalidPicture, "Invalid picture"); }

inline void refuseBeyondGuard(int64_t width, int64_t height) {
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        width * height > kMaxPicturePixels)
        throw invalidPicture();
}

}  // namespace mv::qt

namespace mv::qt {

// The size a width x height picture is kept at: `floor`'s when `reducible` and that is smaller
// in both directions (as KeepDecoded reduces), else whole. The floor is asked either way, with
// the declared size and before any pixel is decoded.
inline PixelSize keptSize(const DecodeFloor& floor, int width, int height, bool reducible = true) {
    if (floor) {
        const PixelSize least = floor(width, height);
        if (reducible && least.width > 0 && least.height > 0 && least.width < width && least.height < height)
            return least;
    }
    return {width, height};
}

}  // namespace mv::qt
