#include <gtest/gtest.h>

#include <filesystem>

#include "saver/frmMain.h"
#include "startup/app.h"
#include "startup/mod1.h"
#include "support/fake_platform.h"

using namespace mv;

namespace {

// A running show with a given sensitivity.
struct Show {
    explicit Show(int16_t sensitivity) {
        platform.store.set("AniFile", platform.dir.write("p.bmp", test::makeBmp(8, 8, 0x00FF00)));
        platform.store.set("Mousesens", std::to_string(sensitivity));
        platform.arguments = "/S";
        Main(app);
    }
    bool running() const { return app.mainForm->Loaded(); }
    void move(float x, float y) { app.mainForm->Form_MouseMove(0, 0, x, y); }

    test::FakePlatform platform;
    App app{platform};
};

}  // namespace

TEST(MouseRule, FirstEventOnlyRemembersThePosition) {
    Show s(15);
    ASSERT_TRUE(s.running());
    s.move(100, 100);
    EXPECT_TRUE(s.running());
    EXPECT_EQ(s.app.mainForm->lastX, 100);
    s.move(105, 100);  // 5 px: tolerated and the new reference
    EXPECT_TRUE(s.running());
    EXPECT_EQ(s.app.mainForm->lastX, 105);
}

TEST(MouseRule, AStepOfTheSensitivityOnEitherAxisEnds) {
    {
        Show s(15);
        s.move(100, 100);
        s.move(114, 114);
        EXPECT_TRUE(s.running());
    }
    {
        Show s(15);
        s.move(100, 100);
        s.move(115, 100);  // 15 is not less than 15
        EXPECT_FALSE(s.running());
        EXPECT_EQ(s.platform.cursorCount, 0);
        EXPECT_EQ(s.app.mainForm->lastX, 100);  // the reference was not moved
    }
    {
        Show s(30);
        s.move(100, 100);
        s.move(100, 130);
        EXPECT_FALSE(s.running());
    }
    {
        Show s(15);
        s.move(100, 100);
        s.move(100, 85);  // backwards counts the same
        EXPECT_FALSE(s.running());
    }
}

TEST(MouseRule, SlowDriftNeverEnds) {
    Show s(15);
    for (int i = 0; i < 20; ++i) s.move(100.0f + 10.0f * i, 100);
    EXPECT_TRUE(s.running());
}

TEST(MouseRule, SensitivityZeroEndsOnTheSecondEventEvenWithoutMovement) {
    Show s(0);
    s.move(50, 50);
    EXPECT_TRUE(s.running());
    s.move(50, 50);
    EXPECT_FALSE(s.running());
}

TEST(MouseRule, TheTopLeftCornerCountsAsNoPosition) {
    Show s(5);
    s.move(0, 0);
    s.move(0, 0);
    s.move(4, 4);  // the reference (0, 0) means none: tolerated whatever the distance
    EXPECT_TRUE(s.running());
    s.move(0, 0);
    EXPECT_TRUE(s.running());
    s.move(300, 300);
    EXPECT_TRUE(s.running());
    s.move(310, 300);
    EXPECT_FALSE(s.running());
}

TEST(MouseRule, NoSensitivityStoredBehavesLikeZero) {
    test::FakePlatform platform;
    platform.store.set("AniFile", platform.dir.write("p.bmp", test::makeBmp(8, 8, 0)));
    platform.arguments = "/S";
    App app(platform);
    Main(app);
    ASSERT_TRUE(app.mainForm->Loaded());
    EXPECT_EQ(app.mouseSens, 0);
    app.mainForm->Form_MouseMove(0, 0, 10, 10);
    app.mainForm->Form_MouseMove(0, 0, 10, 10);
    EXPECT_FALSE(app.mainForm->Loaded());
}

TEST(InputHandlers, EveryKeyAndButtonEndsTheShowAndStopsTheTimer) {
    using Handler = void (*)(frmMain&);
    const Handler handlers[] = {
        [](frmMain& f) { f.Form_KeyDown(16, 1); },  // a modifier alone
        [](frmMain& f) { f.Form_KeyPress(' '); },
        [](frmMain& f) { f.Form_MouseDown(2, 0, 1, 1); },
        [](frmMain& f) { f.Form_MouseDown(4, 7, 1, 1); },
        [](frmMain& f) { f.Form_Click(); },
        [](frmMain& f) { f.Form_DblClick(); },
    };
    for (auto handler : handlers) {
        Show s(15);
        s.app.mainForm->AnimationTimer.setEnabled(true);
        handler(*s.app.mainForm);
        EXPECT_FALSE(s.running());
        EXPECT_FALSE(s.app.mainForm->AnimationTimer.Enabled());
        EXPECT_TRUE(s.app.saverUnloaded);
        EXPECT_EQ(s.platform.cursorCount, 0);
    }
}

TEST(InputHandlers, AMouseUpAloneDoesNotEnd) {
    Show s(15);
    s.app.mainForm->Form_MouseUp(1, 0, 3, 3);
    EXPECT_TRUE(s.running());
}
