#include <gtest/gtest.h>

#include "support/anim_fixture.h"

using namespace mv;
using namespace mv::test;

namespace {

// Which frame Picture1 holds at each step of `stepMs` over `totalMs`, run-length encoded as
// (frame, milliseconds) pairs.
std::vector<std::pair<int, long>> timeline(FakePlatform& platform, const std::function<int()>& shown, long totalMs,
                                          long stepMs = 10) {
    std::vector<std::pair<int, long>> runs;
    for (long t = 0; t < totalMs; t += stepMs) {
        const int k = shown();
        if (runs.empty() || runs.back().first != k) runs.push_back({k, 0});
        runs.back().second += stepMs;
        platform.advance(stepMs);
    }
    return runs;
}

}  // namespace

using FrameAnimation = AnimFixture;

TEST_F(FrameAnimation, ThreeFramesFollowTheScheduleAndFrameZeroNeverReturns) {
    form().LoadAniGif(solidGif("three.gif", {10, 20, 30}), form().AnimatedGIF);
    const auto runs = timeline(platform, [&] { return shownFrame(); }, 1800);
    const std::vector<std::pair<int, long>> want = {{0, 100}, {1, 100}, {2, 500}, {1, 100}, {2, 500}, {1, 100}, {2, 400}};
    EXPECT_EQ(runs, want);
}

TEST_F(FrameAnimation, FourFramesShowTheLastForItsOwnDelayAndThePreviousOne) {
    form().LoadAniGif(solidGif("four.gif", {10, 20, 30, 40}), form().AnimatedGIF);
    const auto runs = timeline(platform, [&] { return shownFrame(); }, 2100);
    const std::vector<std::pair<int, long>> want = {{0, 100}, {1, 100}, {2, 200}, {3, 700}, {1, 100}, {2, 200}, {3, 700}};
    EXPECT_EQ(runs, want);
}

TEST_F(FrameAnimation, EachTickPaintsTheNewFrameAndTheWrapPaintsNothing) {
    form().LoadAniGif(solidGif("three.gif", {10, 20, 30}), form().AnimatedGIF);
    const int afterSplit = host().presents;
    platform.advance(100);  // frame 1, green
    EXPECT_EQ(paintedCentre(), 0xFF00FF00u);
    EXPECT_EQ(host().presents, afterSplit + 1);
    platform.advance(200);  // frame 2, blue
    EXPECT_EQ(paintedCentre(), 0xFF0000FFu);
    EXPECT_EQ(host().presents, afterSplit + 2);
    platform.advance(300);  // the wrap tick
    EXPECT_EQ(form().currentFrame, 0);
    EXPECT_EQ(paintedCentre(), 0xFF0000FFu);
    EXPECT_EQ(host().presents, afterSplit + 2);
    EXPECT_EQ(form().AnimationTimer.Interval(), 300);
}

// Delays of 0 and 1 hundredth play as 100 ms, as browsers play them, wherever they stand;
// 2 hundredths is already a real delay.
TEST_F(FrameAnimation, ZeroAndOneHundredthDelaysPlayAsATenthOfASecond) {
    form().LoadAniGif(solidGif("zero.gif", {0, 1, 0}), form().AnimatedGIF);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(form().AnimatedGIF(k).Tag, "100") << k;
    auto runs = timeline(platform, [&] { return shownFrame(); }, 1000);
    std::vector<std::pair<int, long>> want = {{0, 100}, {1, 100}, {2, 200}, {1, 100}, {2, 200}, {1, 100}, {2, 200}};
    EXPECT_EQ(runs, want);

    form().LoadAniGif(solidGif("fast.gif", {2, 0, 2}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF(0).Tag, "20");
    EXPECT_EQ(form().AnimatedGIF(1).Tag, "100");
    runs = timeline(platform, [&] { return shownFrame(); }, 380);
    want = {{0, 20}, {1, 20}, {2, 120}, {1, 20}, {2, 120}, {1, 20}, {2, 60}};
    EXPECT_EQ(runs, want);
}

TEST_F(FrameAnimation, DelayTooLongForTheTimerStopsItOnThatFrame) {
    form().LoadAniGif(solidGif("long.gif", {10, 7000, 10}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF(1).Tag, "70000");
    platform.advance(100);
    EXPECT_EQ(shownFrame(), 1);
    platform.advance(100);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().currentFrame, 1);
    platform.advance(600000);
    EXPECT_EQ(shownFrame(), 1);
}

TEST_F(FrameAnimation, FailuresSwitchTheTimerOff) {
    form().LoadAniGif(solidGif("three.gif", {10, 10, 10}), form().AnimatedGIF);
    form().AnimatedGIF(0).Tag = "";  // not a number
    platform.advance(100);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(shownFrame(), 0);

    form().LoadAniGif(solidGif("three.gif", {10, 10, 10}), form().AnimatedGIF);
    form().AnimatedGIF(1).setPicture(nullptr);  // cannot be painted
    platform.advance(100);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().currentFrame, 1);

    form().LoadAniGif(solidGif("three.gif", {10, 10, 10}), form().AnimatedGIF);
    form().lastFrame = 5;  // past the last element
    platform.advance(300);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().currentFrame, 3);
}
