#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "anim/decode_plan.h"
#include "anim/frame_prefetch.h"
#include "platform/error.h"
#include "support/anim_fixture.h"

using namespace mv;
using namespace mv::test;

namespace {

// A picture that paints one colour, notes the thread that painted it, and can be held in the
// middle of a paint or made to fail.
class SpyPicture final : public Picture {
public:
    explicit SpyPicture(uint32_t colour) : colour_(colour) {}
    int width() const override { return 4000; }
    int height() const override { return 4000; }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t) const override {
        {
            std::unique_lock lock(mutex_);
            paintedOn = std::this_thread::get_id();
            entered_ = true;
            entry_.notify_all();
            opened_.wait(lock, [this] { return !held_; });
        }
        if (failWith == 1) {
            failWith = 0;
            throw std::bad_alloc();
        }
        if (failWith == 2) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        for (int r = std::max(0, y); r < std::min(dst.height, y + h); ++r)
            for (int c = std::max(0, x); c < std::min(dst.width, x + w); ++c) dst.row(r)[c] = colour_;
    }
    void hold() { std::lock_guard lock(mutex_); held_ = true; }
    void release() {
        std::lock_guard lock(mutex_);
        held_ = false;
        opened_.notify_all();
    }
    void waitEntered() {
        std::unique_lock lock(mutex_);
        entry_.wait(lock, [this] { return entered_; });
    }
    mutable std::thread::id paintedOn;
    mutable std::atomic<int> failWith{0};  // 1: out of memory once; 2: unreadable

private:
    uint32_t colour_;
    mutable std::mutex mutex_;
    mutable std::condition_variable entry_, opened_;
    mutable bool held_ = false, entered_ = false;
};

uint32_t centre(const PicturePtr& drawn, int w, int h) {
    Bitmap b;
    b.resize(w, h, 0);
    drawn->stretchTo(b, 0, 0, w, h, 0);
    return b.row(h / 2)[w / 2];
}

const anim::DrawTarget kTarget{{{64, 48}, {32, 24}}, 0};

}  // namespace

// The tick asks for a frame that is still being drawn and gets nothing at once: it never waits
// for the second thread, which alone paints the frames' own pictures.
TEST(FramesDrawnAhead, AFrameStillBeingDrawnIsNotWaitedFor) {
    auto slow = std::make_shared<SpyPicture>(0xFF112233u);
    auto next = std::make_shared<SpyPicture>(0xFF445566u);
    slow->hold();
    anim::FramePrefetch prefetch;
    prefetch.startDrawing({slow, next}, 2, kTarget);
    slow->waitEntered();
    EXPECT_EQ(prefetch.takeDrawn(0), nullptr);
    slow->release();
    prefetch.waitIdle();
    const PicturePtr drawn = prefetch.takeDrawn(0);
    ASSERT_NE(drawn, nullptr);
    EXPECT_NE(slow->paintedOn, std::this_thread::get_id());
    // Each surface's size is drawn, so painting there is a copy of the frame's own paint.
    EXPECT_EQ(centre(drawn, 64, 48), 0xFF112233u);
    EXPECT_EQ(centre(drawn, 32, 24), 0xFF112233u);
    EXPECT_EQ(centre(prefetch.takeDrawn(1), 64, 48), 0xFF445566u);
    slow->hold();
    prefetch.shown(0);
    EXPECT_EQ(prefetch.takeDrawn(0), nullptr);  // passed: the next round draws it again
    slow->release();
    prefetch.stop();
}

// Out of memory once, the thread lets go of what it keeps decoded and draws the frame again;
// a frame it cannot draw fails the tick that asks for it.
TEST(FramesDrawnAhead, OutOfMemoryIsRetriedAndAFailureReachesTheTick) {
    auto tight = std::make_shared<SpyPicture>(0xFF00FF00u);
    auto broken = std::make_shared<SpyPicture>(0xFFFF0000u);
    tight->failWith = 1;
    broken->failWith = 2;
    anim::FramePrefetch prefetch;
    prefetch.startDrawing({tight, broken}, 2, kTarget);
    prefetch.waitIdle();
    ASSERT_NE(prefetch.takeDrawn(0), nullptr);
    EXPECT_EQ(centre(prefetch.takeDrawn(0), 64, 48), 0xFF00FF00u);
    EXPECT_THROW(prefetch.takeDrawn(1), PlatformError);
    prefetch.stop();
}

using DrawnAheadShow = AnimFixture;

// Frames larger than a tick may stretch play from the second thread's drawings: the same
// pixels, frame after frame, with the timer's schedule; a small animation is stretched by the
// tick as before.
TEST_F(DrawnAheadShow, BigFramesPlayFromTheirDrawings) {
    form().LoadAniGif(solidGif("small.gif", {10, 10, 10}), form().AnimatedGIF);
    EXPECT_FALSE(form().framesDrawnAhead());

    form().LoadAniGif(solidGif("big.gif", {10, 10, 10}, 4000, 3200), form().AnimatedGIF);
    ASSERT_TRUE(form().framesDrawnAhead());
    EXPECT_EQ(paintedCentre(), 0xFFFF0000u);
    const uint32_t colours[] = {0xFF00FF00u, 0xFF0000FFu};
    for (int k = 1; k <= 2; ++k) {
        form().waitForFramesAhead();
        platform.advance(100);
        EXPECT_EQ(shownFrame(), k);
        EXPECT_EQ(paintedCentre(), colours[k - 1]) << k;
    }
    // The drawing is what painting the frame itself would give.
    form().waitForFramesAhead();
    Bitmap direct;
    direct.resize(form().backing().width, form().backing().height, 0);
    form().Picture1.Picture()->stretchTo(direct, 0, 0, direct.width, direct.height, form().Picture1.BackColor());
    EXPECT_TRUE(direct.pixels == form().backing().pixels);
    platform.advance(100);  // the wrap
    form().waitForFramesAhead();
    platform.advance(100);
    EXPECT_EQ(shownFrame(), 1);
    form().stopDecodingAhead();
}
