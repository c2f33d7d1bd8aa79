#pragma once
// Twips and device pixels, each axis at its own density (1440 twips to the inch, 15 to a pixel
// at 96 dpi). To pixels a value rounds to the nearest whole pixel, halves away from zero, each
// value on its own; to twips the product is exact and each caller keeps the precision of its
// own coordinates.
#include <cmath>

namespace mv {

class Platform;

struct Units {
    double twipsPerPixelX = 15.0, twipsPerPixelY = 15.0;

    // The primary screen's density as the platform reports it now.
    static Units of(Platform& platform);

    int pixelsX(double twips) const { return static_cast<int>(std::lround(twips / twipsPerPixelX)); }
    int pixelsY(double twips) const { return static_cast<int>(std::lround(twips / twipsPerPixelY)); }
    // Unrounded, for a size that is only ever turned back into twips.
    double exactPixelsX(double twips) const { return twips / twipsPerPixelX; }
    double exactPixelsY(double twips) const { return twips / twipsPerPixelY; }
    double twipsX(double pixels) const { return pixels * twipsPerPixelX; }
    double twipsY(double pixels) const { return pixels * twipsPerPixelY; }
};

}  // namespace mv
