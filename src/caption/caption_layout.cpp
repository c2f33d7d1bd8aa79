#include "caption/caption_layout.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

int margin(const PixelRect& seen) { return static_cast<int>(std::ceil(seen.height * 0.02)); }

}  // namespace

Corner NextCorner(Corner c) {
    switch (c) {
        case Corner::BottomLeft: return Corner::BottomRight;
        case Corner::BottomRight: return Corner::TopRight;
        case Corner::TopRight: return Corner::TopLeft;
        case Corner::TopLeft: break;
    }
    return Corner::BottomLeft;
}

Corner OppositeCorner(Corner c) {
    switch (c) {
        case Corner::BottomLeft: return Corner::TopRight;
        case Corner::TopRight: return Corner::BottomLeft;
        case Corner::BottomRight: return Corner::TopLeft;
        case Corner::TopLeft: break;
    }
    return Corner::BottomRight;
}

PixelRect SeenPart(const PixelRect& placed, const PixelRect& area) {
    const long long left = std::max(placed.x, area.x), top = std::max(placed.y, area.y);
    const long long right = std::min<long long>(static_cast<long long>(placed.x) + placed.width, static_cast<long long>(area.x) + area.width);
    const long long bottom = std::min<long long>(static_cast<long long>(placed.y) + placed.height, static_cast<long long>(area.y) + area.height);
    if (right <= left || bottom <= top) return {static_cast<int>(left), static_cast<int>(top), 0, 0};
    return {static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)};
}

int CaptionPixelSize(const PixelRect& seen) { return std::max(10, static_cast<int>(std::lround(seen.height * 0.025))); }

int CaptionMaxWidth(const PixelRect& seen) { return std::max(0, seen.width - 2 * margin(seen)); }

PixelPoint CaptionPosition(const PixelRect& seen, int w, int h, Corner c) {
    const int m = margin(seen);
    const bool right = c == Corner::TopRight || c == Corner::BottomRight;
    const bool bottom = c == Corner::BottomLeft || c == Corner::BottomRight;
    const long long x = right ? static_cast<long long>(seen.x) + seen.width - m - w : static_cast<long long>(seen.x) + m;
    const long long y = bottom ? static_cast<long long>(seen.y) + seen.height - m - h : static_cast<long long>(seen.y) + m;
    // Too large to fit, it starts at the near edges' margin and its far side is cut.
    const long long nearX = static_cast<long long>(seen.x) + m, nearY = static_cast<long long>(seen.y) + m;
    return {static_cast<int>(std::max(x, nearX)), static_cast<int>(std::max(y, nearY))};
}

}  // namespace mv
