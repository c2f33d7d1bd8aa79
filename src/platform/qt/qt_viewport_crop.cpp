#include "platform/qt/qt_viewport_crop.h"

#include <algorithm>
#include <cmath>

namespace mv::qt {

namespace {

constexpr double kFixed = 256.0;
// A picture that stops this close to a surface edge still covers it: the rest of that edge
// pixel is rounding, not a bar.
constexpr double kSlack = 1.0 / 64.0;
// wl_fixed holds 24 integer bits; larger pictures are never placed by the display.
constexpr int kLargest = 1 << 22;

// One axis: the fixed-point start and length in the picture of the surface's [0, surface).
bool axis(double at, double size, int picture, int surface, int32_t& start, int32_t& length) {
    if (!std::isfinite(at) || !std::isfinite(size) || size <= 0 || picture <= 0 || picture > kLargest || surface <= 0)
        return false;
    if (at > kSlack || at + size < surface - kSlack) return false;
    const double perPixel = picture / size;  // picture pixels per surface pixel
    const double end = static_cast<double>(picture) * kFixed;
    const double s = std::clamp(std::round(-at * perPixel * kFixed), 0.0, end - 1);
    const double l = std::clamp(std::round(surface * perPixel * kFixed), 1.0, end - s);
    start = static_cast<int32_t>(s);
    length = static_cast<int32_t>(l);
    return true;
}

}  // namespace

std::optional<ViewportCrop> viewportCrop(const RectD& at, int pictureWidth, int pictureHeight, int surfaceWidth,
                                         int surfaceHeight) {
    ViewportCrop c;
    if (!axis(at.x, at.w, pictureWidth, surfaceWidth, c.x, c.width)) return std::nullopt;
    if (!axis(at.y, at.h, pictureHeight, surfaceHeight, c.y, c.height)) return std::nullopt;
    return c;
}

}  // namespace mv::qt
