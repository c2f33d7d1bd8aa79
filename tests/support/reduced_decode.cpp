#include "support/reduced_decode.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "support/jpeg_samples.h"
#include "support/photo_pixels.h"

namespace mv::test {

Bitmap stretched(const Picture& picture, PixelSize size) {
    Bitmap out;
    out.resize(size.width, size.height);
    picture.stretchTo(out, 0, 0, size.width, size.height, 0);
    return out;
}

namespace {

// A load's picture, or the number of its failure.
struct Loaded {
    PicturePtr picture;
    int error = 0;
};
Loaded load(Platform& platform, const std::string& path, const ShownAreas& shown) {
    try {
        return {LoadPicture(platform, path, shown), 0};
    } catch (const PlatformError& e) {
        return {nullptr, e.number()};
    }
}

}  // namespace

std::vector<ReducedDecodeCase> commonReducedDecodeCases(std::vector<uint8_t> (*jpegOf)(int width, int height)) {
    std::vector<ReducedDecodeCase> cases = {
        {"1 x 1", jpegOf(1, 1), {0, 0, 48, 36}, false},
        {"7 x 9", jpegOf(7, 9), {0, 0, 48, 36}, false},
        {"65535 x 1", withFrameWidth(jpegOf(8, 1), 65535), {0, 0, 1920, 1080}, false},
        {"progressive", progressiveJpeg(), {0, 0, 48, 36}, true},
        {"CMYK", cmykJpeg(), {0, 0, 48, 36}, true},
    };
    const std::vector<uint8_t> photo = jpegOf(192, 144);
    for (int orientation = 5; orientation <= 8; ++orientation)
        cases.push_back({"Exif orientation " + std::to_string(orientation), withExifOrientation(photo, orientation),
                         {0, 0, 40, 60}, true});
    return cases;
}

void expectReducedDecodesLookWhole(FakePlatform& platform, const std::vector<ReducedDecodeCase>& cases) {
    for (const ReducedDecodeCase& c : cases) {
        const std::string path = platform.dir.write("photo.jpg", c.jpeg);
        const ShownAreas shown{{c.area}, PicturePlacement::Fit};
        const Loaded whole = load(platform, path, {});
        const Loaded small = load(platform, path, shown);
        ASSERT_EQ(small.error, whole.error) << c.what;
        if (whole.error) continue;
        const PixelSize at = ShownSize(whole.picture->width(), whole.picture->height(), shown);
        EXPECT_GE(small.picture->width(), std::min(at.width, whole.picture->width())) << c.what;
        EXPECT_GE(small.picture->height(), std::min(at.height, whole.picture->height())) << c.what;
        EXPECT_EQ(small.picture->width() < whole.picture->width(), c.smaller) << c.what;
        EXPECT_LE(rmse(stretched(*small.picture, at), stretched(*whole.picture, at)), 0.005) << c.what;
    }
}

}  // namespace mv::test
