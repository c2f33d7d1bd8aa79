#include "platform/picture/placement.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// A filled side may run far past the area (a 1 x 32767 picture filling a wide desk); capped
// here it stays a valid int for every offset below, and only the area's part is ever drawn.
constexpr double kMaxSide = 1 << 29;

int placedSide(double exact) { return static_cast<int>(std::clamp(std::round(exact), 1.0, kMaxSide)); }

// Floor division, so a picture larger than the area is centred the same way as a smaller one.
int centred(int room, int size) {
    const int spare = room - size;
    return spare >= 0 ? spare / 2 : -((-spare + 1) / 2);
}

}  // namespace

PixelRect PlacePicture(int picW, int picH, const PixelRect& area, PicturePlacement mode) {
    if (mode == PicturePlacement::Stretch || picW <= 0 || picH <= 0 || area.width <= 0 || area.height <= 0) return area;
    const double rx = static_cast<double>(area.width) / picW, ry = static_cast<double>(area.height) / picH;
    const bool whole = mode != PicturePlacement::Fill;
    const double scale = whole ? std::min(rx, ry) : std::max(rx, ry);
    // The side the scale came from matches the area exactly, whatever the rounding of the other.
    const bool widthRules = whole ? rx <= ry : rx >= ry;
    const int w = widthRules ? area.width : placedSide(picW * scale);
    const int h = widthRules ? placedSide(picH * scale) : area.height;
    return {area.x + centred(area.width, w), area.y + centred(area.height, h), w, h};
}

PixelRect BoundingRect(const std::vector<PixelRect>& parts) {
    if (parts.empty()) return {};
    long long left = parts[0].x, top = parts[0].y, right = left + parts[0].width, bottom = top + parts[0].height;
    for (const PixelRect& r : parts) {
        left = std::min<long long>(left, r.x);
        top = std::min<long long>(top, r.y);
        right = std::max<long long>(right, static_cast<long long>(r.x) + r.width);
        bottom = std::max<long long>(bottom, static_cast<long long>(r.y) + r.height);
    }
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

std::vector<PixelRect> PaintAreas(const std::vector<PixelRect>& surfaces, Monitors monitors, const PaintRect& paint,
                                  double baseW, double baseH) {
    const PixelRect desk = BoundingRect(surfaces);
    std::vector<PixelRect> areas;
    areas.reserve(surfaces.size());
    for (const PixelRect& s : surfaces) {
        const PixelRect whole = monitors == Monitors::Span ? PixelRect{desk.x - s.x, desk.y - s.y, desk.width, desk.height}
                                                           : PixelRect{0, 0, s.width, s.height};
        const double fx = baseW > 0 ? whole.width / baseW : 1.0, fy = baseH > 0 ? whole.height / baseH : 1.0;
        areas.push_back({whole.x + static_cast<int>(std::lround(paint.x * fx)), whole.y + static_cast<int>(std::lround(paint.y * fy)),
                         static_cast<int>(std::lround(paint.w * fx)), static_cast<int>(std::lround(paint.h * fy))});
    }
    return areas;
}

PixelSize ShownSize(int picW, int picH, const ShownAreas& shown) {
    PixelSize size;
    for (const PixelRect& area : shown.areas) {
        const PixelRect placed = PlacePicture(picW, picH, area, shown.placement);
        size.width = std::max(size.width, placed.width);
        size.height = std::max(size.height, placed.height);
    }
    return size;
}

}  // namespace mv
