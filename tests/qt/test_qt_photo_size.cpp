// A photo decoded smaller by the JPEG library's own scaling looks, once stretched to where it is
// shown, like the whole photo stretched there.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "platform/picture/picture.h"
#include "platform/qt/qt_still_decoder.h"
#include "support/fake_platform.h"
#include "support/jpeg_samples.h"
#include "support/photo_pixels.h"
#include "support/reduced_decode.h"

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

// The portable loader over this decoder, so that what it adds (the Exif turn and the floor it
// works out for a turned photo) is checked with it.
class QtStillPlatform final : public test::FakePlatform {
public:
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override { return qt::decodeStill(bytes); }
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override {
        return qt::decodeStill(bytes, floor);
    }
};

}  // namespace

// Odd and extreme sizes, a progressive and a CMYK file, and photos turned a quarter by their Exif
// data: loaded for where they are shown, each looks there like the whole decode stretched there,
// and never comes out smaller than that (or than it is).
TEST(QtPhotoSize, DecodedForWhereItIsShownLooksLikeTheWholeDecodeStretched) {
    QtStillPlatform platform;
    test::expectReducedDecodesLookWhole(platform, test::commonReducedDecodeCases(photoJpeg));
}

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
        EXPECT_LT(test::rmse(test::stretched(*small, c.shown), test::stretched(*whole, c.shown)), 0.01) << c.shown.width;
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

namespace {
std::vector<std::string> messages;  // what reached the message handler the test installed
void keepMessage(QtMsgType, const QMessageLogContext&, const QString& text) { messages.push_back(text.toStdString()); }
}  // namespace

// The JPEG library goes on past data that ends early or is corrupt and only warns, without the
// file's name. The picture comes back as far as it decodes, marked damaged, and the warning is
// not passed on; other messages still are.
TEST(QtPhotoSize, ACutOrCorruptJpegComesBackMarkedDamaged) {
    const std::vector<uint8_t> photo = photoJpeg(320, 240);
    std::vector<uint8_t> cut(photo.begin(), photo.begin() + static_cast<std::ptrdiff_t>(photo.size() / 2));
    std::vector<uint8_t> padded = photo;  // bytes before the end marker, as some cameras write
    padded.insert(padded.end() - 2, 40, 0x11);
    std::vector<uint8_t> corrupt = photo;  // a marker in the middle of the scan's data
    corrupt[photo.size() / 2] = 0xFF;
    corrupt[photo.size() / 2 + 1] = 0xD9;
    messages.clear();
    const QtMessageHandler before = qInstallMessageHandler(keepMessage);
    struct {
        const char* what;
        const std::vector<uint8_t>& bytes;
        bool damaged;
    } const cases[] = {{"whole", photo, false}, {"padded", padded, false}, {"cut", cut, true}, {"corrupt", corrupt, true}};
    for (const auto& c : cases) {
        const PicturePtr picture = qt::decodeStill(c.bytes);
        EXPECT_EQ((PixelSize{picture->width(), picture->height()}), (PixelSize{320, 240})) << c.what;
        EXPECT_EQ(static_cast<const RgbPicture&>(*picture).damaged(), c.damaged) << c.what;
        // Decoded smaller, the same.
        EXPECT_EQ(static_cast<const RgbPicture&>(*qt::decodeStill(c.bytes, [](int, int) { return PixelSize{80, 60}; })).damaged(),
                  c.damaged) << c.what;
    }
    qWarning("after the decodes");
    qInstallMessageHandler(before);
    EXPECT_EQ(messages, std::vector<std::string>{"after the decodes"});
}
