// Cost of painting a still picture over the screen: the smooth stretch the show uses, next to
// a plain nearest-pixel stretch of the same sizes. Prints milliseconds and the ratio.
#include <chrono>
#include <cstdio>
#include <vector>

#include "best_of.h"
#include "platform/picture/picture.h"

using namespace mv;

namespace {

using bench::bestOf;

Bitmap gradient(int w, int h) {
    Bitmap b;
    b.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.row(y)[x] = 0xFF000000u | static_cast<uint32_t>((x * 255 / w) << 16 | (y * 255 / h) << 8 | ((x ^ y) & 0xFF));
    return b;
}

void nearest(const Bitmap& src, Bitmap& dst) {
    for (int y = 0; y < dst.height; ++y) {
        const uint32_t* s = src.row(static_cast<int>(int64_t{y} * src.height / dst.height));
        uint32_t* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) d[x] = s[int64_t{x} * src.width / dst.width];
    }
}

}  // namespace

int main() {
    const struct {
        int sw, sh, dw, dh;
    } cases[] = {{640, 480, 1280, 1024}, {1920, 1080, 3840, 2160}, {4000, 3000, 1920, 1080}, {1280, 1024, 1280, 1024}};
    std::printf("%-26s %12s %12s %8s\n", "picture -> screen", "smooth ms", "nearest ms", "ratio");
    for (const auto& c : cases) {
        const RgbPicture picture(gradient(c.sw, c.sh));
        Bitmap dst;
        dst.resize(c.dw, c.dh);
        const double smooth = bestOf(5, [&] { picture.stretchTo(dst, 0, 0, c.dw, c.dh, 0); });
        const double plain = bestOf(5, [&] { nearest(picture.pixels(), dst); });
        char label[64];
        std::snprintf(label, sizeof label, "%dx%d -> %dx%d", c.sw, c.sh, c.dw, c.dh);
        std::printf("%-26s %12.2f %12.2f %8.2f\n", label, smooth, plain, smooth / plain);
    }
    return 0;
}
