#pragma once
// Where a moving picture goes on a surface when the compositor scales it: a child surface at
// whole (logical) pixels, as large as the picture there, and a crop of the picture's own
// pixels that puts the picture's fractional position and size right within it.
#include <cstdint>
#include <optional>

#include "platform/picture/motion/moving_scene.h"

namespace mv::qt {

struct ViewportPlace {
    // The child surface: its position on the surface and its size, in the surface's logical
    // units. It reaches past the surface where the picture does.
    int x = 0, y = 0, width = 0, height = 0;
    // The crop, in wl_fixed units (1/256 of a picture pixel): always inside the picture and
    // never empty, as a compositor takes nothing else. Its offset is under a picture pixel's
    // worth of the surface, so a compositor that takes the crop's size but not its offset
    // still shows the picture within a pixel of its place.
    int32_t cropX = 0, cropY = 0, cropWidth = 0, cropHeight = 0;
    // The picture hides the whole surface: what lies around it needs no showing.
    bool covers = false;
    bool operator==(const ViewportPlace&) const = default;
};

// The place of the `picture` pixels landing at `at` (device pixels) on a `surface` device
// pixel surface of that `scale`. None when no whole logical pixel of the picture lands on the
// surface, or the placement is no sensible rectangle.
std::optional<ViewportPlace> viewportPlace(const RectD& at, int pictureWidth, int pictureHeight, int surfaceWidth,
                                           int surfaceHeight, int scale);

}  // namespace mv::qt
