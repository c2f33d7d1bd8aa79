#include <gtest/gtest.h>

#include <filesystem>

#include "saver/frmMain.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;
using namespace mv::test;
namespace fs = std::filesystem;

// The animated road through the saver window's own start-up, with settings in memory and the
// current directory in a temporary folder.
class AnimatedShow : public ::testing::Test {
protected:
    void SetUp() override {
        savedDir_ = fs::current_path();
        fs::current_path(platform.dir.path());
        platform.cursorCount = -1;  // hidden once on the way in, as the start-up does
        platform.store.set("Mousesens", "10");
        platform.store.set("BackColors", "255");
    }
    void TearDown() override { fs::current_path(savedDir_); }

    std::string threeFrames() {
        GifPlan plan;
        plan.width = 8;
        plan.height = 6;
        plan.globalPalette = basicPalette();
        for (int i = 0; i < 3; ++i) plan.frames.push_back(solidFrame(8, 6, static_cast<uint8_t>(i), 10));
        return platform.dir.write("anim.gif", writeGif(plan));
    }

    FakePlatform platform;
    App app{platform};

private:
    fs::path savedDir_;
};

TEST_F(AnimatedShow, GifPlaysFullScreenWithTheCursorHidden) {
    platform.store.set("AniFile", threeFrames());
    app.mainForm->Load();
    frmMain& form = *app.mainForm;
    EXPECT_TRUE(form.Visible());
    EXPECT_TRUE(form.AnimationTimer.Enabled());
    EXPECT_LT(platform.cursorCount, 0);
    EXPECT_EQ(form.backing().row(500)[600], 0xFFFF0000u);
    platform.advance(100);
    EXPECT_EQ(form.backing().row(500)[600], 0xFF00FF00u);
    EXPECT_FALSE(fs::exists(platform.dir.file("tmp.gif")));
}

TEST_F(AnimatedShow, TextFileNamedGifOpensTheSetupDialogAndLeavesNoScratchFile) {
    platform.store.set("AniFile", platform.dir.write("x.gif", std::string("just some words, no picture\n")));
    app.mainForm->Load();
    EXPECT_FALSE(app.mainForm->Visible());
    EXPECT_TRUE(app.setupForm->Loaded());
    EXPECT_FALSE(fs::exists(platform.dir.file("tmp.gif")));
    EXPECT_GE(platform.cursorCount, 0);
}

TEST_F(AnimatedShow, MouseMovingDuringTheSplitEndsTheShowWithoutACrash) {
    platform.store.set("AniFile", threeFrames());
    frmMain& form = *app.mainForm;
    platform.pendingEvents.push_back([&] { form.Form_MouseMove(0, 0, 100, 100); });
    platform.pendingEvents.push_back([&] { form.Form_MouseMove(0, 0, 300, 300); });
    app.mainForm->Load();
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(form.AnimationTimer.Enabled());
    EXPECT_FALSE(app.setupForm->Loaded());
    EXPECT_GE(platform.cursorCount, 0);
    platform.advance(5000);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(fs::exists(platform.dir.file("tmp.gif")));
}
