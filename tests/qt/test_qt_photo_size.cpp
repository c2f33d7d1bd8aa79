// A photo decoded smaller by the JPEG library's own scaling looks, once stretched to where it is
// shown, like the whole photo stretched there.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include <cmath>
#include <random>

#include "platform/picture/picture.h"
#include "platform/qt/qt_still_decoder.h"

using namespace mv;

namespace {

// Detail at every scale, coarse shapes strong and fine detail faint, as in a photo: value noise
// in octaves from 256 pixels down to 2, each octave's strength in proportion to its size.
std::vector<uint8_t> photoJpeg(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1, 1);
    for (int period = 256; period >= 2; period /= 2) {
        const int gw = w / period + 2, gh = h / period + 2;
        std::vector<double> grid(static_cast<size_t>(gw) * gh * 3);
        for (double& v : grid) v = value(random) * period * 0.25;
        for (int y = 0; y < h; ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            const int gy = y / period;
            const double fy = double(y % period) / period;
            for (int x = 0; x < w; ++x) {
                const int gx = x / period;
                const double fx = double(x % period) / period;
                int c[3];
                for (int k = 0; k < 3; ++k) {
                    auto at = [&](int i, int j) { return grid[(static_cast<size_t>(j) * gw + i) * 3 + k]; };
                    const double v = (at(gx, gy) * (1 - fx) + at(gx + 1, gy) * fx) * (1 - fy) +
                                     (at(gx, gy + 1) * (1 - fx) + at(gx + 1, gy + 1) * fx) * fy;
                    const int old = k == 0 ? qRed(row[x]) : k == 1 ? qGreen(row[x]) : qBlue(row[x]);
                    c[k] = std::clamp(static_cast<int>(std::lround((period == 256 ? 128 : old) + v)), 0, 255);
                }
                row[x] = qRgb(c[0], c[1], c[2]);
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

Bitmap stretched(const Picture& picture, int w, int h) {
    Bitmap out;
    out.resize(w, h);
    picture.stretchTo(out, 0, 0, w, h, 0);
    return out;
}

double rmse(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const double d = (double((a.pixels[i] >> shift) & 0xFF) - double((b.pixels[i] >> shift) & 0xFF)) / 255.0;
            sum += d * d;
        }
    return std::sqrt(sum / (3.0 * a.pixels.size()));
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
        const double error = rmse(stretched(*small, c.shown.width, c.shown.height),
                                  stretched(*whole, c.shown.width, c.shown.height));
        EXPECT_LT(error, 0.01) << "shown at " << c.shown.width << "x" << c.shown.height;
    }
    // Shown larger than stored: decoded whole.
    EXPECT_EQ(qt::decodeStill(bytes, [](int, int) { return PixelSize{1920, 1080}; })->width(), 1600);
}
