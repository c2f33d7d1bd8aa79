// Cost of the blurred bars on a screen: making the backdrop once per picture, and painting its
// bars at every paint, each next to a plain whole-picture paint of the same picture at the same
// size measured in the same run. Prints milliseconds and the ratios.
#include <chrono>
#include <cstdio>

#include "best_of.h"
#include "platform/picture/backdrop.h"
#include "platform/picture/picture.h"

using namespace mv;

namespace {

using bench::bestOf;

Bitmap photo(int w, int h) {
    Bitmap b;
    b.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.row(y)[x] = 0xFF000000u | static_cast<uint32_t>((x * 255 / w) << 16 | (y * 255 / h) << 8 | ((x ^ y) & 0xFF));
    return b;
}

}  // namespace

int main() {
    // The picture as the show holds it: decoded near its placed size, or far larger.
    const struct {
        int pw, ph, sw, sh;
    } cases[] = {{1440, 1080, 1920, 1080}, {4000, 3000, 1920, 1080}, {1080, 1920, 1920, 1080}, {2880, 2160, 3840, 2160}};
    std::printf("%-26s %9s %9s %9s %8s %8s\n", "picture -> screen", "fit ms", "make ms", "bars ms", "make/fit", "bars/fit");
    for (const auto& c : cases) {
        const RgbPicture picture(photo(c.pw, c.ph));
        const PixelRect area{0, 0, c.sw, c.sh};
        const PixelRect placed = PlacePicture(c.pw, c.ph, area, PicturePlacement::Fit);
        Bitmap screen;
        screen.resize(c.sw, c.sh);
        const double fit = bestOf(7, [&] { picture.stretchTo(screen, placed.x, placed.y, placed.width, placed.height, 0); });
        BackdropPtr backdrop;
        const double make = bestOf(7, [&] { backdrop = MakeBackdrop(picture, {area}, 0); });
        const double bars = bestOf(7, [&] { backdrop->paintBars(screen, area, placed); });
        char label[64];
        std::snprintf(label, sizeof label, "%dx%d -> %dx%d", c.pw, c.ph, c.sw, c.sh);
        std::printf("%-26s %9.2f %9.2f %9.2f %8.2f %8.2f\n", label, fit, make, bars, make / fit, bars / fit);
    }
    return 0;
}
