#include <algorithm>

#include "picture.h"

namespace mv {

// Nearest-pixel stretch, blending transparent pixels over the background colour.
void RgbPicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    if (w <= 0 || h <= 0 || pixels_.empty()) return;
    const uint32_t bg = colorToPixel(backColor);
    const int x0 = std::max(0, x), x1 = std::min(dst.width, x + w);
    const int y0 = std::max(0, y), y1 = std::min(dst.height, y + h);
    for (int dy = y0; dy < y1; ++dy) {
        const int sy = static_cast<int>((static_cast<int64_t>(dy - y) * pixels_.height) / h);
        const uint32_t* src = pixels_.row(sy);
        uint32_t* out = dst.row(dy);
        for (int dx = x0; dx < x1; ++dx) {
            const uint32_t p = src[(static_cast<int64_t>(dx - x) * pixels_.width) / w];
            out[dx] = (p >> 24) >= 0x80 ? (p | 0xFF000000u) : bg;
        }
    }
}

}  // namespace mv
