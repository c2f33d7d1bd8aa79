#include <gtest/gtest.h>

#include <algorithm>

#include "anim/decode_plan.h"
#include "anim/gif_split.h"
#include "platform/picture/gif/composed_picture.h"
#include "support/anim_fixture.h"

using namespace mv;
using namespace mv::test;

namespace {

constexpr uint32_t R = 0xFFFF0000u, G = 0xFF00FF00u, B = 0xFF0000FFu, W = 0xFFFFFFFFu;
constexpr int32_t kBackColor = 0x00336699;  // 0x00BBGGRR
constexpr uint32_t Bg = 0xFF996633u;

// The picture at its own size over the background colour, row by row.
std::vector<uint32_t> pixelsOf(const PicturePtr& picture) {
    Bitmap b;
    b.resize(picture->width(), picture->height(), 0);
    picture->stretchTo(b, 0, 0, b.width, b.height, kBackColor);
    return {b.pixels.begin(), b.pixels.end()};
}

GifFramePlan rect(int left, int top, int w, int h, uint8_t index, int disposal, int transparent = -1) {
    GifFramePlan f = solidFrame(w, h, index, 10);
    f.left = left;
    f.top = top;
    f.disposal = disposal;
    f.transparent = transparent;
    return f;
}

}  // namespace

using GifCompose = AnimFixture;

// A 4 x 2 screen: red all over, then green on the left half, then blue on the right half.
// What the left half shows under the blue frame depends on the green frame's disposal.
TEST_F(GifCompose, EachDisposalMethodLeavesWhatAViewerShows) {
    struct Case {
        int disposal;
        uint32_t leftAfterBlue;
    } cases[] = {{0, G}, {1, G}, {2, Bg}, {3, R}, {5, G}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.disposal);
        GifPlan plan;
        plan.width = 4;
        plan.height = 2;
        plan.globalPalette = basicPalette();
        plan.frames = {rect(0, 0, 4, 2, 0, 1), rect(0, 0, 2, 2, 1, c.disposal), rect(2, 0, 2, 2, 2, 1)};
        form().LoadAniGif(platform.dir.write("d.gif", writeGif(plan)), form().AnimatedGIF);
        ASSERT_EQ(form().AnimatedGIF.Count(), 3);
        EXPECT_EQ(pixelsOf(form().AnimatedGIF(1).Picture()), (std::vector<uint32_t>{G, G, R, R, G, G, R, R}));
        const uint32_t l = c.leftAfterBlue;
        EXPECT_EQ(pixelsOf(form().AnimatedGIF(2).Picture()), (std::vector<uint32_t>{l, l, B, B, l, l, B, B}));
    }
}

// Transparent pixels keep what is beneath; an interlaced frame with its own colour table and
// a frame reaching past the screen's edge land where they belong.
TEST_F(GifCompose, TransparencyInterlaceLocalTablesAndFramesPastTheEdge) {
    GifPlan plan;
    plan.width = 4;
    plan.height = 4;
    plan.globalPalette = basicPalette();
    GifFramePlan holes = rect(0, 0, 4, 4, 1, 1, /*transparent=*/3);
    for (int i = 0; i < 16; i += 2) holes.indices[static_cast<size_t>(i)] = 3;  // every other pixel
    GifFramePlan local = rect(0, 0, 1, 4, 0, 1);
    local.localPalette = {0xFFFFFF, 0x000000};
    local.interlaced = true;
    local.indices = {0, 1, 0, 1};
    plan.frames = {rect(0, 0, 4, 4, 2, 1), holes, local, rect(3, 3, 3, 3, 0, 1)};
    form().LoadAniGif(platform.dir.write("t.gif", writeGif(plan)), form().AnimatedGIF);
    ASSERT_EQ(form().AnimatedGIF.Count(), 4);
    const uint32_t K = 0xFF000000u;
    EXPECT_EQ(pixelsOf(form().AnimatedGIF(1).Picture()),
              (std::vector<uint32_t>{B, G, B, G, B, G, B, G, B, G, B, G, B, G, B, G}));
    EXPECT_EQ(pixelsOf(form().AnimatedGIF(3).Picture()),
              (std::vector<uint32_t>{W, G, B, G, K, G, B, G, W, G, B, G, K, G, B, R}));
}

// However the animation reaches a frame (in order, after the wrap, or with every decoded
// frame dropped and the frames asked for backwards), it looks the same.
TEST_F(GifCompose, AFrameLooksTheSameHoweverItIsReached) {
    GifPlan plan;
    plan.width = 8;
    plan.height = 6;
    plan.globalPalette = basicPalette();
    plan.frames.push_back(rect(0, 0, 8, 6, 4, 1));
    for (int k = 1; k < 12; ++k)
        plan.frames.push_back(rect(k % 7, k % 5, 2, 2, static_cast<uint8_t>(k % 4), k % 4, k % 3 == 0 ? 1 : -1));
    form().LoadAniGif(platform.dir.write("many.gif", writeGif(plan)), form().AnimatedGIF);
    auto& frames = form().AnimatedGIF;
    ASSERT_EQ(frames.Count(), 12);
    std::vector<std::vector<uint32_t>> inOrder;
    for (int k = 0; k < 12; ++k) inOrder.push_back(pixelsOf(frames(k).Picture()));
    EXPECT_NE(inOrder[1], inOrder[11]);

    platform.advance(3000);  // past the wrap, more than once
    EXPECT_EQ(form().backing().row(0)[0], pixelsOf(frames(form().currentFrame == 0 ? 11 : form().currentFrame).Picture())[0]);
    gif::indexCache().clear();
    for (int k = 11; k >= 0; --k) EXPECT_EQ(pixelsOf(frames(k).Picture()), inOrder[static_cast<size_t>(k)]) << k;

    // A loop too long for the cache keeps only the last canvases and draws each next frame over
    // the last one in place: in order, round again, backwards and while playing, all the same.
    cacheComposedCanvases(false);
    dropDecodedGifFrames();
    for (int round = 0; round < 2; ++round)
        for (int k = 0; k < 12; ++k) EXPECT_EQ(pixelsOf(frames(k).Picture()), inOrder[static_cast<size_t>(k)]) << k;
    for (int k = 11; k >= 0; --k) EXPECT_EQ(pixelsOf(frames(k).Picture()), inOrder[static_cast<size_t>(k)]) << k;
    for (int tick = 0; tick < 30; ++tick) {
        platform.advance(form().AnimationTimer.Interval());
        const int shown = form().currentFrame == 0 ? 11 : form().currentFrame;
        ASSERT_EQ(form().backing().row(5)[7], inOrder[static_cast<size_t>(shown)][47]) << tick;
    }
    cacheComposedCanvases(true);
}

// The whole loop stays decoded when it fits the budget; a longer one keeps a few frames ahead.
TEST(DecodePlan, TheWholeLoopWhenItFitsElseAFewFramesAhead) {
    struct Sized : Picture {
        explicit Sized(size_t b) : bytes(b) {}
        int width() const override { return 1; }
        int height() const override { return 1; }
        void stretchTo(Bitmap&, int, int, int, int, int32_t) const override {}
        size_t decodedBytes() const override { return bytes; }
        size_t bytes;
    };
    const std::vector<PicturePtr> fits(10, std::make_shared<Sized>(anim::kLoopBudgetBytes / 10));
    const anim::DecodePlan whole = anim::planDecoding(fits);
    EXPECT_TRUE(whole.canvasesCached);
    EXPECT_EQ(whole.framesAhead, fits.size());
    EXPECT_GE(whole.cacheBytes, anim::kLoopBudgetBytes);

    std::vector<PicturePtr> longer = fits;
    longer.push_back(std::make_shared<Sized>(1 << 20));
    const anim::DecodePlan ahead = anim::planDecoding(longer);
    EXPECT_FALSE(ahead.canvasesCached);
    EXPECT_EQ(ahead.framesAhead, anim::kFramesAhead);
    EXPECT_GE(ahead.cacheBytes, (anim::kFramesAhead + 1) * (anim::kLoopBudgetBytes / 10));
    EXPECT_LT(ahead.cacheBytes, anim::kLoopBudgetBytes);
}

TEST(GifSplitRules, AControlExtensionRightAfterTheColourTableIsTheFirstBoundary) {
    GifPlan plan;
    plan.width = plan.height = 2;
    plan.globalPalette = {0xFF0000, 0x00FF00, 0x0000FF, 0x123456};  // the table ends in 0x56
    plan.loopExtension = false;
    for (uint8_t i = 0; i < 3; ++i) plan.frames.push_back(solidFrame(2, 2, i, 10));
    anim::SourceBytes bytes;
    bytes.assign(writeGif(plan));
    const size_t headerEnd = 13 + 12;
    EXPECT_EQ(bytes.findFirstBoundary(), headerEnd - 1);
    EXPECT_GT(bytes.findBoundary(0), headerEnd);  // the plain scan misses it
    // Elsewhere the byte before still has to be a block terminator.
    plan.loopExtension = true;
    bytes.assign(writeGif(plan));
    EXPECT_EQ(bytes.findFirstBoundary(), bytes.findBoundary(0));
    EXPECT_EQ(bytes.findFirstBoundary(), headerEnd + 19 - 1);
}
