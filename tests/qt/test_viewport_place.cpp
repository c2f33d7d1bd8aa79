// Where the compositor is to show a moving picture: whole pixels for the child surface, the
// fraction in a crop that never leaves the picture's buffer (a compositor ends the connection
// over that), and whether bars show beside it.
#include <gtest/gtest.h>

#include <limits>

#include "platform/qt/qt_viewport_place.h"

using mv::RectD;
using mv::qt::ViewportPlace;
using mv::qt::viewportPlace;

namespace {

constexpr int kW = 1280, kH = 720;

bool insidePicture(const ViewportPlace& p, int pw, int ph) {
    return p.cropX >= 0 && p.cropY >= 0 && p.cropWidth > 0 && p.cropHeight > 0 && p.cropX + p.cropWidth <= pw * 256 &&
           p.cropY + p.cropHeight <= ph * 256;
}

}  // namespace

TEST(ViewportPlace, WholePixelsOnTheSurfaceAndTheFractionInTheCrop) {
    // A picture 1.15 times the surface drifting a quarter pixel past a whole one: the child
    // starts at the next whole pixel, the crop a quarter picture pixel in.
    const auto a = viewportPlace({-96.25, -54.0, 1472.0, 828.0}, 1472, 828, kW, kH, 1);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, (ViewportPlace{-96, -54, 1471, 828, 64, 0, 1471 * 256, 828 * 256, true}));
    // At twice the size an eighth of a picture pixel; the child's size is whole pixels of the
    // picture that lie on it.
    const auto b = viewportPlace({-96.25, -54.0, 2944.0, 1656.0}, 1472, 828, kW, kH, 1);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->x, -96);
    EXPECT_EQ(b->cropX, 32);
    EXPECT_EQ(b->width, 2943);
    EXPECT_EQ(b->cropWidth, 2943 * 128);
    // At scale 2 the child's place is in the surface's logical pixels, the picture's own
    // device pixels crop on.
    const auto c = viewportPlace({-97.0, -54.0, 1472.0, 828.0}, 1472, 828, kW, kH, 2);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->x, -48);
    EXPECT_EQ(c->cropX, 256);
    EXPECT_EQ(c->width, 735);
    EXPECT_EQ(c->y, -27);
    EXPECT_EQ(c->height, 414);
}

TEST(ViewportPlace, BarsShowBesideAWholePictureAndItsEdgesStayInside) {
    // Fitted whole with bars at the sides, a third of a pixel off whole ones.
    const auto a = viewportPlace({160.3333, 0.0, 960.0, 720.0}, 960, 720, kW, kH, 1);
    ASSERT_TRUE(a);
    EXPECT_FALSE(a->covers);
    EXPECT_EQ(a->x, 161);
    EXPECT_EQ(a->width, 959);
    EXPECT_TRUE(insidePicture(*a, 960, 720));
    // Edges a hair off whole pixels, either way: on them, and the crop within the buffer.
    for (const RectD at : {RectD{0.01, 0.012, kW - 0.02, kH - 0.024}, RectD{-0.004, -0.004, kW + 0.004, kH + 0.002},
                           RectD{-53.0001, -31.0001, 1386.0002, 782.0001}}) {
        const auto p = viewportPlace(at, 1333, 777, kW, kH, 1);
        ASSERT_TRUE(p) << at.x << "," << at.y << " " << at.w << "x" << at.h;
        EXPECT_TRUE(p->covers);
        EXPECT_TRUE(insidePicture(*p, 1333, 777)) << p->cropX << "+" << p->cropWidth << ", " << p->cropY << "+" << p->cropHeight;
    }
}

TEST(ViewportPlace, NoneForAPlacementThatIsNoSensibleRectangle) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    for (const RectD at : {RectD{nan, 0.0, 1280.0, 720.0}, RectD{0.0, 0.0, inf, 720.0}, RectD{0.0, 0.0, 0.0, 720.0},
                           RectD{0.0, 0.0, 1280.0, -720.0}, RectD{1280.0, 0.0, 1280.0, 720.0}, RectD{0.0, -720.5, 1280.0, 720.0},
                           RectD{-1e9, -1e9, 2e9, 2e9}, RectD{10.2, 10.2, 0.5, 0.5}})
        EXPECT_FALSE(viewportPlace(at, 1280, 720, kW, kH, 1)) << at.x << "," << at.y << " " << at.w << "x" << at.h;
    EXPECT_FALSE(viewportPlace({0.0, 0.0, 1280.0, 720.0}, 0, 720, kW, kH, 1));
    EXPECT_FALSE(viewportPlace({0.0, 0.0, 1280.0, 720.0}, 1 << 23, 720, kW, kH, 1));
    EXPECT_FALSE(viewportPlace({0.0, 0.0, 1280.0, 720.0}, 1280, 720, kW, kH, 0));
}
