#pragma once
// One check for both builds' decoders: a photo decoded for where it is shown looks like the
// whole decode stretched to the same size.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/picture/bitmap.h"
#include "platform/picture/picture.h"
#include "platform/picture/placement.h"
#include "support/fake_platform.h"

namespace mv::test {

struct ReducedDecodeCase {
    std::string what;
    std::vector<uint8_t> jpeg;
    PixelRect area;  // the picture fitted into it
    bool smaller;    // decoded smaller than stored
};

// `picture` drawn at `size`, as the show draws it.
Bitmap stretched(const Picture& picture, PixelSize size);

// The cases every decoder meets: the tiny, a side past the limit, progressive, CMYK and the
// Exif orientations that swap the sides. `jpegOf(w, h)` writes a photo-like JPEG.
std::vector<ReducedDecodeCase> commonReducedDecodeCases(std::vector<uint8_t> (*jpegOf)(int width, int height));

// Loads each case through LoadPicture with and without its area, on `platform` (whose decoder is
// the one checked): the same outcome, never smaller than shown, reduced where expected, and
// within an RMSE of 0.005 once both are stretched to the shown size.
void expectReducedDecodesLookWhole(FakePlatform& platform, const std::vector<ReducedDecodeCase>& cases);

}  // namespace mv::test
