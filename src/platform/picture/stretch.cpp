#include <algorithm>
#include <cstdint>

#include "platform/picture/picture.h"
#include "platform/picture/resample.h"

namespace mv {

RgbPicture::RgbPicture(Bitmap pixels, bool damaged) : pixels_(std::move(pixels)), damaged_(damaged) {
    opaque_ = std::all_of(pixels_.pixels.begin(), pixels_.pixels.end(), [](uint32_t p) { return p >> 24 == 0xFF; });
}

// Partly transparent pixels are blended over the background colour by their alpha before the
// stretch, so a transparent hole shows the background and an edge stays smooth.
void RgbPicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    if (pixels_.empty()) return;
    const uint32_t bg = colorToPixel(backColor);
    const int sw = pixels_.width;
    resampleInto(dst, x, y, w, h, sw, pixels_.height, [&](int sy, uint32_t* scratch) -> const uint32_t* {
        const uint32_t* src = pixels_.row(sy);
        if (opaque_) return src;
        for (int sx = 0; sx < sw; ++sx) {
            const uint32_t p = src[sx], a = p >> 24;
            if (a == 0xFF) { scratch[sx] = p; continue; }
            uint32_t out = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const uint32_t c = (p >> shift) & 0xFF, b = (bg >> shift) & 0xFF;
                out |= ((c * a + b * (255 - a) + 127) / 255) << shift;
            }
            scratch[sx] = out;
        }
        return scratch;
    });
}

}  // namespace mv
