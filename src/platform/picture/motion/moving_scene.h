#pragma once
// One frame of a picture that moves on a surface: the picture, uploaded once and then only
// placed anew each frame at a fractional position and size, over what fills the rest of the
// surface. A backend that can have the display scale it (a transform, a viewport) shows it so;
// the core draws it itself otherwise (DrawMovingScene), with the same look.
#include <cstdint>
#include <memory>

#include "platform/picture/bitmap.h"

namespace mv {

// A rectangle in surface pixels with fractional edges.
struct RectD {
    double x = 0, y = 0, w = 0, h = 0;
    bool operator==(const RectD&) const = default;
};

struct MovingScene {
    // Opaque pixels (alpha 0xFF). The same object, unchanged, for as long as the picture moves,
    // so a backend uploads it once and knows it again by its address.
    std::shared_ptr<const Bitmap> picture;
    // Where the whole picture lands on the surface, bilinearly scaled; it may reach past the
    // surface's edges (then only its part on the surface is seen).
    RectD at;
    // The surface's pixels around the picture, the surface's size (a blurred backdrop); null:
    // the surface is `fill` there. Also unchanged while the picture moves.
    std::shared_ptr<const Bitmap> under;
    uint32_t fill = 0xFF000000u;
};

}  // namespace mv
