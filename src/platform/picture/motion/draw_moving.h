#pragma once
// The core's own drawing of a moving picture's frame, for windows whose display cannot scale
// it: bilinear, from fractional positions, so that a slow drift moves smoothly instead of a
// whole pixel at a time.
#include "platform/picture/bitmap.h"
#include "platform/picture/motion/moving_scene.h"

namespace mv {

// Draws `scene` over the whole of dst (a surface): the picture where the centres of dst's
// pixels fall inside scene.at, and the under picture (or the fill) everywhere else.
void DrawMovingScene(Bitmap& dst, const MovingScene& scene);

}  // namespace mv
