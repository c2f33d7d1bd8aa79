#pragma once
// Pixels with a photo's kind of detail, for checks that a picture read smaller looks the same.
#include "platform/picture/bitmap.h"

namespace mv::test {

// Detail at every scale, coarse shapes strong and fine detail faint: value noise in octaves
// from 256 pixels down to 2, each octave's strength in proportion to its size. Opaque.
Bitmap photoPixels(int w, int h);

// The root mean square difference of two bitmaps of one size, per channel, 0 to 1.
double rmse(const Bitmap& a, const Bitmap& b);

}  // namespace mv::test
