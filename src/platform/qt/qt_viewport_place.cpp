#include "platform/qt/qt_viewport_place.h"

#include <algorithm>
#include <cmath>

namespace mv::qt {

namespace {

constexpr double kFixed = 256.0;
// A picture edge this close to a whole pixel is on it: the rest is rounding, not a bar.
constexpr double kSlack = 1.0 / 64.0;
// wl_fixed holds 24 integer bits.
constexpr int kLargest = 1 << 22;
// Far larger than any zoom a moving picture takes: such a placement is a mistake.
constexpr double kMostTimesSurface = 16.0;

struct Axis {
    int at = 0, size = 0;
    int32_t crop = 0, cropSize = 0;
    bool covers = false;
};

// One axis: the child surface's whole logical pixels inside the picture's [at, at + size),
// and the picture's part that lands on them.
std::optional<Axis> axis(double at, double size, int picture, int surface, int scale) {
    if (!std::isfinite(at) || !std::isfinite(size) || size <= 0 || picture <= 0 || picture > kLargest || surface <= 0)
        return std::nullopt;
    const double a = at / scale, s = size / scale, whole = static_cast<double>(surface) / scale;
    if (s > kMostTimesSurface * whole || a + s <= 0 || a >= whole) return std::nullopt;
    const double lo = std::ceil(a - kSlack), hi = std::floor(a + s + kSlack);
    if (hi - lo < 1) return std::nullopt;
    const double perUnit = picture / s;  // picture pixels per logical pixel
    const double end = static_cast<double>(picture) * kFixed;
    const double crop = std::clamp(std::round((lo - a) * perUnit * kFixed), 0.0, end - 1);
    const double cropSize = std::clamp(std::round((hi - lo) * perUnit * kFixed), 1.0, end - crop);
    Axis r;
    r.at = static_cast<int>(lo);
    r.size = static_cast<int>(hi - lo);
    r.crop = static_cast<int32_t>(crop);
    r.cropSize = static_cast<int32_t>(cropSize);
    r.covers = lo <= 0 && hi >= whole;
    return r;
}

}  // namespace

std::optional<ViewportPlace> viewportPlace(const RectD& at, int pictureWidth, int pictureHeight, int surfaceWidth,
                                           int surfaceHeight, int scale) {
    if (scale < 1) return std::nullopt;
    const auto x = axis(at.x, at.w, pictureWidth, surfaceWidth, scale);
    const auto y = axis(at.y, at.h, pictureHeight, surfaceHeight, scale);
    if (!x || !y) return std::nullopt;
    return ViewportPlace{x->at, y->at, x->size, y->size, x->crop, y->crop, x->cropSize, y->cropSize, x->covers && y->covers};
}

}  // namespace mv::qt
