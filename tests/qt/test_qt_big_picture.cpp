// The largest pictures the size guard lets through load on Linux as they do on Windows, whatever
// the bit depth their file stores.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "platform/qt/qt_still_decoder.h"
#include "support/fake_platform.h"
#include "support/png_writer.h"

using namespace mv;

namespace {

class QtDecoderPlatform final : public test::FakePlatform {
public:
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override { return qt::decodeStill(bytes); }
};

}  // namespace

// 8200 x 8200 at 16 bits a sample: 67 M pixels, within the guard, but 538 MB held whole at 8
// bytes a pixel.
TEST(QtBigPicture, SixteenBitPngWithinTheGuardLoads) {
    constexpr int kSide = 8200;
    test::PngPlan plan;
    plan.width = plan.height = kSide;
    plan.depth = 16;
    plan.colorType = 2;
    plan.row = [](int, int y, uint8_t* row, size_t bytes) {
        for (size_t i = 0; i < bytes; i += 6) {
            row[i] = static_cast<uint8_t>(y * 255 / (kSide - 1)), row[i + 1] = 0x80;
            row[i + 2] = 0x12, row[i + 3] = 0x34;
            row[i + 4] = 0xFF, row[i + 5] = 0xFF;
        }
    };
    QtDecoderPlatform platform;
    const std::string path = platform.dir.write("big.png", test::writePng(plan));
    PicturePtr picture;
    ASSERT_NO_THROW(picture = LoadPicture(platform, path));
    ASSERT_EQ(picture->width(), kSide);
    ASSERT_EQ(picture->height(), kSide);
    const auto& pixels = static_cast<const RgbPicture&>(*picture).pixels();
    EXPECT_EQ(pixels.row(0)[0], 0xFF0012FFu);
    EXPECT_EQ(pixels.row(kSide - 1)[kSide - 1], 0xFFFF12FFu);
}
