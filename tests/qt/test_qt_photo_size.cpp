// A photo decoded smaller by the JPEG library's own scaling looks, once stretched to where it is
// shown, like the whole photo stretched there.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cstring>

#include "platform/picture/picture.h"
#include "platform/qt/qt_still_decoder.h"
#include "support/photo_pixels.h"

using namespace mv;

namespace {

std::vector<uint8_t> photoJpeg(int w, int h) {
    const Bitmap pixels = test::photoPixels(w, h);
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) std::memcpy(image.scanLine(y), pixels.row(y), static_cast<size_t>(w) * 4);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

Bitmap stretched(const Picture& picture, PixelSize size) {
    Bitmap out;
    out.resize(size.width, size.height);
    picture.stretchTo(out, 0, 0, size.width, size.height, 0);
    return out;
}

}  // namespace

TEST(QtPhotoSize, DecodedSmallerLooksLikeTheWholePhotoStretched) {
    const std::vector<uint8_t> bytes = photoJpeg(1600, 1200);
    const PicturePtr whole = qt::decodeStill(bytes);
    ASSERT_EQ(whole->width(), 1600);
    struct Case {
        PixelSize shown, decoded;
    };
    // The smallest M/8 of the photo that still covers where it is shown.
    for (const Case& c : {Case{{800, 600}, {800, 600}}, Case{{1000, 700}, {1000, 750}}, Case{{560, 420}, {600, 450}},
                          Case{{190, 150}, {200, 150}}, Case{{1280, 720}, {1400, 1050}}}) {
        const PicturePtr small = qt::decodeStill(bytes, [&](int, int) { return c.shown; });
        ASSERT_EQ((PixelSize{small->width(), small->height()}), c.decoded) << c.shown.width;
        EXPECT_LT(test::rmse(stretched(*small, c.shown), stretched(*whole, c.shown)), 0.01) << c.shown.width;
    }
    // Shown larger than stored: decoded whole.
    EXPECT_EQ(qt::decodeStill(bytes, [](int, int) { return PixelSize{1920, 1080}; })->width(), 1600);
}

// A grey JPEG comes from the reader in a format of its own: decoded smaller all the same, and
// turned into the bitmap's pixels once.
TEST(QtPhotoSize, AGreyPhotoIsDecodedSmallerToo) {
    QImage grey(640, 480, QImage::Format_Grayscale8);
    grey.fill(0x60);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    grey.save(&buffer, "JPG", 90);
    const PicturePtr small = qt::decodeStill(std::vector<uint8_t>(bytes.begin(), bytes.end()),
                                             [](int, int) { return PixelSize{150, 100}; });
    ASSERT_EQ((PixelSize{small->width(), small->height()}), (PixelSize{160, 120}));
    const uint32_t p = static_cast<const RgbPicture&>(*small).pixels().row(60)[80];
    EXPECT_EQ(p >> 24, 0xFFu);
    for (int shift : {0, 8, 16}) EXPECT_NEAR(static_cast<int>((p >> shift) & 0xFF), 0x60, 3);
}
