#include <gtest/gtest.h>

#include "platform/controls/control_array.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/timer.h"
#include "support/fake_platform.h"

using namespace mv;

TEST(ControlArray, NewElementsAreHiddenCopiesAndIndexesAreChecked) {
    ControlArray<PictureBox> frames("AnimatedGIF");
    frames(0).setBackColor(0x123456);
    auto& one = frames.Load(1);
    EXPECT_FALSE(one.Visible());
    EXPECT_EQ(one.BackColor(), 0x123456);
    EXPECT_EQ(frames.Count(), 2);
    EXPECT_THROW(frames.Load(1), PlatformError);
    EXPECT_THROW(frames(2), PlatformError);
    EXPECT_THROW(frames(40000), PlatformError);
    EXPECT_THROW(frames.Unload(0), PlatformError);
    frames.Unload(1);
    EXPECT_EQ(frames.Count(), 1);
}

TEST(Timer, RefusesIntervalsOutsideSixteenBitsAndZeroNeverTicks) {
    test::FakePlatform platform;
    int ticks = 0;
    Timer timer(platform, [&] { ++ticks; }, 1000, false);
    EXPECT_THROW(timer.setInterval(65536), PlatformError);
    EXPECT_THROW(timer.setInterval(-1), PlatformError);
    EXPECT_EQ(timer.Interval(), 1000);
    timer.setEnabled(true);
    platform.advance(3500);
    EXPECT_EQ(ticks, 3);
    timer.setInterval(0);
    platform.advance(10000);
    EXPECT_EQ(ticks, 3);
    EXPECT_TRUE(timer.Enabled());
}
