#pragma once
// Which part of a moving picture a surface shows, as a Wayland viewport's source rectangle:
// the surface's rectangle taken into the picture's own pixels through where the picture lands.
#include <cstdint>
#include <optional>

#include "platform/picture/motion/moving_scene.h"

namespace mv::qt {

// wl_fixed units (1/256 of a picture pixel), always inside the picture and never empty, as a
// compositor takes nothing else.
struct ViewportCrop {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ViewportCrop&) const = default;
};

// The crop that shows the `picture` pixels landing at `at` on a `surface` pixel surface; none
// when the picture leaves part of the surface bare (or the placement is no rectangle at all),
// as the viewport alone cannot show what lies around it.
std::optional<ViewportCrop> viewportCrop(const RectD& at, int pictureWidth, int pictureHeight, int surfaceWidth,
                                         int surfaceHeight);

}  // namespace mv::qt
