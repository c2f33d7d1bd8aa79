// The crop a compositor scales to the surface for a moving picture: sub-pixel, never outside
// the picture's buffer (a compositor ends the connection over that), none where bars show.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/qt/qt_viewport_crop.h"

using mv::RectD;
using mv::qt::viewportCrop;

namespace {

constexpr int kW = 1280, kH = 720;

bool insidePicture(const mv::qt::ViewportCrop& c, int pw, int ph) {
    return c.x >= 0 && c.y >= 0 && c.width > 0 && c.height > 0 && c.x + c.width <= pw * 256 && c.y + c.height <= ph * 256;
}

}  // namespace

TEST(ViewportCrop, FollowsTheDriftBySubPixelSteps) {
    // A picture of its own size 1.15 times the surface, zoomed in a little more and drifting.
    const int pw = 1472, ph = 828;
    const auto a = viewportCrop({-96.0, -54.0, 1472.0, 828.0}, pw, ph, kW, kH);
    ASSERT_TRUE(a);
    EXPECT_EQ(*a, (mv::qt::ViewportCrop{96 * 256, 54 * 256, kW * 256, kH * 256}));
    // A quarter surface pixel to the left at twice the size: an eighth of a picture pixel.
    const auto b = viewportCrop({-192.25, -108.0, 2944.0, 1656.0}, pw, ph, kW, kH);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->x, 96 * 256 + 32);
    EXPECT_EQ(b->width, kW * 128);
    // A picture smaller than the surface, scaled up to cover it: the crop is its whole width.
    const auto c = viewportCrop({0.0, -45.0, 1280.0, 810.0}, 640, 405, kW, kH);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->x, 0);
    EXPECT_EQ(c->width, 640 * 256);
    EXPECT_EQ(c->y, 45 * 128);
    EXPECT_EQ(c->height, 360 * 256);
}

TEST(ViewportCrop, StaysInsideThePictureWhereItsEdgesMeetTheSurfacesByRounding) {
    const int pw = 1333, ph = 777;
    for (const RectD at : {RectD{1e-9, 1e-9, kW - 2e-9, kH - 2e-9}, RectD{-0.004, -0.004, kW + 0.004, kH + 0.002},
                           RectD{-1e-7, -1e-7, kW + 1e-7, kH + 1e-7}, RectD{-53.0001, -31.0001, 1386.0002, 782.0001}}) {
        const auto c = viewportCrop(at, pw, ph, kW, kH);
        ASSERT_TRUE(c) << at.x << "," << at.y << " " << at.w << "x" << at.h;
        EXPECT_TRUE(insidePicture(*c, pw, ph)) << c->x << "+" << c->width << ", " << c->y << "+" << c->height;
    }
}

TEST(ViewportCrop, NoneWhereBarsShowOrThePlacementIsNoRectangle) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    // The whole picture within bars, at the sides or above and below, or drifted off an edge.
    for (const RectD at : {RectD{160.0, 0.0, 960.0, 720.0}, RectD{0.0, 40.0, 1280.0, 640.0}, RectD{0.5, -10.0, 1300.0, 740.0},
                           RectD{-30.0, -10.0, 1300.0, 740.0}, RectD{nan, 0.0, 1280.0, 720.0}, RectD{0.0, 0.0, inf, 720.0},
                           RectD{0.0, 0.0, 0.0, 720.0}, RectD{0.0, 0.0, 1280.0, -720.0}})
        EXPECT_FALSE(viewportCrop(at, 1280, 720, kW, kH)) << at.x << "," << at.y << " " << at.w << "x" << at.h;
    EXPECT_FALSE(viewportCrop({0.0, 0.0, 1280.0, 720.0}, 0, 720, kW, kH));
    EXPECT_FALSE(viewportCrop({0.0, 0.0, 1280.0, 720.0}, 1 << 23, 720, kW, kH));
}
