#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/picture/picture.h"
#include "platform/picture/resample.h"

using namespace mv;

namespace {

RgbPicture pictureOf(int w, int h, std::initializer_list<uint32_t> pixels) {
    Bitmap b;
    b.resize(w, h);
    std::copy(pixels.begin(), pixels.end(), b.pixels.begin());
    return RgbPicture(std::move(b));
}

Bitmap canvas(int w, int h, uint32_t fill = 0xFF123456u) {
    Bitmap b;
    b.resize(w, h, fill);
    return b;
}

int channel(uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

}  // namespace

TEST(Stretch, SameSizeCopiesExactly) {
    const auto pic = pictureOf(2, 2, {0xFF010203u, 0xFFFFFFFFu, 0xFF000000u, 0xFF808080u});
    auto dst = canvas(2, 2);
    pic.stretchTo(dst, 0, 0, 2, 2, 0);
    EXPECT_EQ(dst.pixels, pic.pixels().pixels);
}

TEST(Stretch, UniformPicturesStayUniformAtAnyScale) {
    Bitmap b;
    b.resize(640, 480, 0xFFC86432u);
    const RgbPicture pic(std::move(b));
    for (auto [w, h] : {std::pair{1280, 1024}, std::pair{333, 77}, std::pair{1, 1}, std::pair{640, 481}}) {
        auto dst = canvas(w, h);
        pic.stretchTo(dst, 0, 0, w, h, 0);
        for (uint32_t p : dst.pixels) ASSERT_EQ(p, 0xFFC86432u) << w << "x" << h;
    }
}

TEST(Stretch, EnlargingBlendsNeighboursAndKeepsTheEdges) {
    const auto pic = pictureOf(2, 1, {0xFF000000u, 0xFFC8C8C8u});
    auto dst = canvas(8, 1);
    pic.stretchTo(dst, 0, 0, 8, 1, 0);
    EXPECT_EQ(dst.pixels[0], 0xFF000000u);  // edges keep the source colours
    EXPECT_EQ(dst.pixels[7], 0xFFC8C8C8u);
    for (int i = 1; i < 8; ++i) EXPECT_GE(channel(dst.pixels[i], 16), channel(dst.pixels[i - 1], 16)) << i;
    EXPECT_GT(channel(dst.pixels[3], 8), 0);    // a smooth ramp in the middle
    EXPECT_LT(channel(dst.pixels[4], 8), 200);
}

TEST(Stretch, ShrinkingAveragesTheCoveredPixels) {
    const auto pic = pictureOf(4, 1, {0xFF000000u, 0xFFFFFFFFu, 0xFF0000FFu, 0xFF0000FFu});
    auto dst = canvas(2, 1);
    pic.stretchTo(dst, 0, 0, 2, 1, 0);
    EXPECT_NEAR(channel(dst.pixels[0], 16), 128, 1);
    EXPECT_EQ(dst.pixels[1], 0xFF0000FFu);
    // A fine checkerboard shrinks to grey, not to one of its colours.
    Bitmap checker;
    checker.resize(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) checker.row(y)[x] = (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u;
    const RgbPicture board(std::move(checker));
    auto small = canvas(10, 10);
    board.stretchTo(small, 0, 0, 10, 10, 0);
    for (uint32_t p : small.pixels) EXPECT_NEAR(channel(p, 8), 128, 2);
}

TEST(Stretch, TransparentPixelsShowTheBackgroundColour) {
    const auto pic = pictureOf(2, 1, {0x00FFFFFFu, 0xFF00FF00u});
    auto dst = canvas(2, 1);
    pic.stretchTo(dst, 0, 0, 2, 1, 0x000000FF);  // background red, 0x00BBGGRR
    EXPECT_EQ(dst.pixels[0], 0xFFFF0000u);
    EXPECT_EQ(dst.pixels[1], 0xFF00FF00u);
}

TEST(Stretch, DrawsOnlyInsideTheTargetAndTheCanvas) {
    const auto pic = pictureOf(1, 1, {0xFF00FF00u});
    auto dst = canvas(4, 4);
    pic.stretchTo(dst, 1, 1, 2, 2, 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(dst.row(y)[x], (x >= 1 && x <= 2 && y >= 1 && y <= 2) ? 0xFF00FF00u : 0xFF123456u) << x << "," << y;
    auto clipped = canvas(4, 4);
    pic.stretchTo(clipped, -2, -2, 4, 4, 0);
    EXPECT_EQ(clipped.row(1)[1], 0xFF00FF00u);
    EXPECT_EQ(clipped.row(2)[2], 0xFF123456u);
    // Rectangles far larger than the canvas are clipped, not allocated.
    auto big = canvas(3, 3);
    pic.stretchTo(big, -1000000000, -1000000000, 2000000000, 2000000000, 0);
    EXPECT_EQ(big.row(2)[2], 0xFF00FF00u);
    auto none = canvas(2, 2);
    pic.stretchTo(none, 5, 5, 10, 10, 0);
    pic.stretchTo(none, 0, 0, 0, 5, 0);
    pic.stretchTo(none, 0, 0, -3, -3, 0);
    for (uint32_t p : none.pixels) EXPECT_EQ(p, 0xFF123456u);
}

// Shrinking by thousands of times still weighs every covered pixel: a ramp averages to its middle.
TEST(Stretch, ExtremeShrinkingAveragesEveryCoveredPixel) {
    Bitmap wide;
    wide.resize(9000, 1);
    double wideSum = 0;
    for (int x = 0; x < 9000; ++x) {
        const uint32_t v = static_cast<uint32_t>(x * 255 / 8999);
        wide.row(0)[x] = 0xFF000000u | v << 16 | v << 8 | v;
        wideSum += v;
    }
    auto one = canvas(1, 1);
    RgbPicture(std::move(wide)).stretchTo(one, 0, 0, 1, 1, 0);
    EXPECT_NEAR(channel(one.pixels[0], 8), wideSum / 9000, 1.0);

    Bitmap tall;
    tall.resize(1, 20000);
    double halves[2] = {0, 0};
    for (int y = 0; y < 20000; ++y) {
        const uint32_t v = static_cast<uint32_t>(y * 255 / 19999);
        tall.row(y)[0] = 0xFF000000u | v << 16 | v << 8 | v;
        halves[y / 10000] += v;
    }
    auto two = canvas(1, 2);
    RgbPicture(std::move(tall)).stretchTo(two, 0, 0, 1, 2, 0);
    EXPECT_NEAR(channel(two.pixels[0], 16), halves[0] / 10000, 1.0);
    EXPECT_NEAR(channel(two.pixels[1], 16), halves[1] / 10000, 1.0);
}

#if defined(__GLIBC__)
// What the stretch holds while it runs is a few rows of the target, whatever the ratio: sampled
// from the allocator each time it asks for a source row.
TEST(Stretch, ShrinkingKeepsAFewTargetRowsWhateverTheRatio) {
    const auto inUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return static_cast<int64_t>(m.uordblks + m.hblkhd);
    };
    for (auto [sw, sh, w] : {std::tuple{8, 20000, 500}, std::tuple{600, 5000, 500}}) {
        Bitmap src;
        src.resize(sw, sh, 0xFF808080u);
        auto dst = canvas(w, 1);
        const int64_t before = inUse();
        int64_t most = before;
        resampleInto(dst, 0, 0, w, 1, sw, sh, [&](int sy, uint32_t*) -> const uint32_t* {
            most = std::max(most, inUse());
            return src.row(sy);
        });
        EXPECT_LT(most - before, 1 << 20) << sw << "x" << sh << " -> " << w << "x1";
        EXPECT_EQ(dst.pixels[0], 0xFF808080u);
    }
}
#endif
