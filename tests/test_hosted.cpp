#include <gtest/gtest.h>

#include <filesystem>

#include "saver/frmMain.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "startup/hosted.h"
#include "startup/mod1.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;

namespace {

HostedRequest parsed(std::vector<std::string> args, const std::string& env = "") {
    auto r = ParseHostedRequest(args, env);
    EXPECT_TRUE(r.has_value());
    return r.value_or(HostedRequest{});
}

struct Process {
    Process() {
        picture = platform.dir.write("shown.bmp", test::makeBmp(64, 48, 0x0000FF));
        platform.store.set("AniFile", picture);
        platform.store.set("BackColors", "65280");
    }
    void runHosted(std::optional<std::string> file = std::nullopt) {
        HostedRequest request;
        request.window = 0x400001;
        request.file = std::move(file);
        RunHosted(app, request);
    }
    bool shown() const {
        auto* host = dynamic_cast<test::FakeWindowHost*>(app.mainForm->host());
        return host && host->shown;
    }
    uint32_t shownPixel(int x, int y) const { return app.mainForm->backing().row(y)[x]; }

    test::FakePlatform platform;
    App app{platform};
    std::string picture;
};

}  // namespace

TEST(HostedRequest, OnlyRootOrWindowIdMakeAHostedRun) {
    EXPECT_FALSE(ParseHostedRequest({}, "0x400001"));
    EXPECT_FALSE(ParseHostedRequest({"/S"}, "0x400001"));
    EXPECT_FALSE(ParseHostedRequest({"--file", "a.gif"}, "0x400001"));
    EXPECT_FALSE(ParseHostedRequest({"--rootless"}, ""));
}

TEST(HostedRequest, TheWindowComesFromTheSwitchThenTheEnvironmentThenTheRoot) {
    EXPECT_EQ(parsed({"-root"}).window, 0u);
    // xscreensaver writes the variable in hexadecimal, xsecurelock in decimal.
    EXPECT_EQ(parsed({"--root"}, "0x1a00007").window, 0x1a00007u);
    EXPECT_EQ(parsed({"--root"}, "27262983").window, 27262983u);
    EXPECT_EQ(parsed({"--window-id", "0x2A"}, "0x99").window, 0x2Au);
    EXPECT_EQ(parsed({"-window-id", "42"}).window, 42u);
    EXPECT_EQ(parsed({"--window-id=0x2a", "-root"}).window, 0x2au);
    const auto r = parsed({"-root", "--file", "/pictures/a b.gif", "-fps"});
    EXPECT_EQ(r.file, "/pictures/a b.gif");
    EXPECT_TRUE(r.error.empty());
}

TEST(HostedRequest, WhatIsNoWindowIdIsAnErrorNotAGuess) {
    EXPECT_FALSE(parsed({"--window-id"}).error.empty());
    EXPECT_FALSE(parsed({"--window-id", "zz"}).error.empty());
    EXPECT_FALSE(parsed({"--window-id", "0"}).error.empty());
    EXPECT_FALSE(parsed({"--window-id", "0x1ffffffff"}).error.empty());
    EXPECT_FALSE(parsed({"--window-id", "-5"}).error.empty());
    EXPECT_FALSE(parsed({"--root"}, "junk").error.empty());
}

TEST(Hosted, ShowsThePictureWithoutTouchingTheCursorOrTheInstanceRule) {
    Process p;
    p.platform.otherInstance = true;
    p.platform.windowTitles.insert(frmMain::kCaption);  // a show is running: hosted copies still start
    p.runHosted();
    EXPECT_TRUE(p.shown());
    EXPECT_EQ(p.platform.cursorCount, 0);
    EXPECT_EQ(p.shownPixel(10, 10), 0xFFFF0000u);
    // Input that ends a show does not reach a hosted one through its host, and the form's
    // unload leaves the cursor count alone as well.
    p.app.mainForm->Unload();
    EXPECT_EQ(p.platform.cursorCount, 0);
}

TEST(Hosted, TheFileSwitchReplacesTheStoredPictureForThisRunOnly) {
    Process p;
    const auto other = p.platform.dir.write("other.bmp", test::makeBmp(64, 48, 0xFF0000));
    p.runHosted(other);
    EXPECT_EQ(p.shownPixel(10, 10), 0xFF0000FFu);
    EXPECT_EQ(p.platform.store.get("AniFile"), p.picture);
}

TEST(HostedFile, AHomeOrRelativePathIsTheCallersNotTheProgramFolders) {
    EXPECT_EQ(HostedFilePath("~/Pictures/anim.gif", "/home/me", "/w"), "/home/me/Pictures/anim.gif");
    EXPECT_EQ(HostedFilePath("~", "/home/me/", "/w"), "/home/me");
    EXPECT_EQ(HostedFilePath("a.png", "/home/me", "/home/me/pics/"), "/home/me/pics/a.png");
    EXPECT_EQ(HostedFilePath("sub/a.png", "", "/"), "/sub/a.png");
    EXPECT_EQ(HostedFilePath("/abs/a.png", "/home/me", "/w"), "/abs/a.png");
    // Only the caller's own home is known: another user's "~name" is an ordinary relative name.
    EXPECT_EQ(HostedFilePath("~other/a.png", "/home/me", "/w"), "/w/~other/a.png");
    // What cannot be resolved stays as given rather than becoming a guess.
    EXPECT_EQ(HostedFilePath("~/a.png", "", "/w"), "~/a.png");
    EXPECT_EQ(HostedFilePath("a.png", "/home/me", ""), "a.png");
    EXPECT_EQ(HostedFilePath("", "/home/me", "/w"), "");
}

TEST(Hosted, ARelativeFileIsReadFromTheCallersFolderAfterTheMoveToTheProgramsOwn) {
    Process p;
    const auto caller = p.platform.dir.path() / "caller";
    std::filesystem::create_directory(caller);
    p.platform.dir.write("caller/a.bmp", test::makeBmp(64, 48, 0xFF0000));
    p.platform.callerDirectory = caller.string();
    p.runHosted("a.bmp");
    EXPECT_EQ(p.shownPixel(10, 10), 0xFF0000FFu);
}

TEST(Hosted, NoPictureShowsTheBackgroundColourAndNeverTheDialog) {
    for (const std::string& path : {std::string(), std::string("missing.jpg"), std::string("missing.gif")}) {
        Process p;
        p.platform.store.set("AniFile", path);
        p.runHosted();
        EXPECT_FALSE(p.app.setupForm->Loaded()) << path;
        EXPECT_FALSE(p.platform.terminated) << path;
        EXPECT_TRUE(p.shown()) << path;
        EXPECT_EQ(p.app.mainForm->BackColor(), 65280) << path;
    }
}

TEST(Hosted, AResizedWindowIsRepaintedWholeAtItsNewSize) {
    Process p;
    p.platform.screenW = 100;
    p.platform.screenH = 50;
    p.runHosted();
    p.platform.screenW = 300;
    p.platform.screenH = 200;
    p.app.mainForm->surfacesChanged();
    ASSERT_EQ(p.app.mainForm->backing().width, 300);
    EXPECT_EQ(p.shownPixel(299, 199), 0xFFFF0000u);
}

TEST(EndOnRequest, EndsASplitInProgressAndShowsNothingAfterwards) {
    test::FakePlatform platform;
    App app{platform};
    test::GifPlan plan;
    plan.width = 64;
    plan.height = 48;
    plan.globalPalette = test::basicPalette();
    for (uint8_t c : {0, 1, 2, 0, 1}) plan.frames.push_back(test::solidFrame(64, 48, c, 10));
    platform.store.set("AniFile", platform.dir.write("anim.gif", test::writeGif(plan)));
    platform.arguments = "/S";
    int calls = 0;
    platform.onDoEvents = [&] {
        if (++calls == 3) EndOnRequest(app);
    };
    Main(app);
    EXPECT_TRUE(app.endRequested);
    EXPECT_FALSE(app.mainForm->Loaded());
    EXPECT_FALSE(app.mainForm->AnimationTimer.Enabled());
    EXPECT_EQ(platform.cursorCount, 0);
    for (const auto& entry : std::filesystem::directory_iterator(platform.dir.path()))
        EXPECT_NE(entry.path().filename(), "tmp.gif");
    app.mainForm->Load();  // a load still to come shows nothing
    EXPECT_FALSE(app.mainForm->Visible());
}

TEST(HostedRequest, SlideshowOptionsOverrideTheStoredOnes) {
    const auto r = parsed({"--root", "--interval", "1", "--no-shuffle", "--fade"});
    EXPECT_EQ(r.intervalSeconds, 2);
    EXPECT_EQ(r.shuffle, false);
    EXPECT_EQ(r.fade, true);
    EXPECT_EQ(parsed({"--root", "--interval=99999"}).intervalSeconds, 3600);
    const auto odd = parsed({"--root", "--interval", "soon", "--shuffle", "--no-fade"});
    EXPECT_FALSE(odd.intervalSeconds);
    EXPECT_FALSE(odd.notice.empty());
    EXPECT_EQ(odd.shuffle, true);
    EXPECT_EQ(odd.fade, false);
    EXPECT_FALSE(parsed({"--root"}).shuffle);
    // Motion, its rate kept within 1..60, and a rate that is no number left aside with a notice.
    const auto moving = parsed({"--layer", "overlay", "--motion", "--motion-rate", "200"});
    EXPECT_EQ(moving.motion, true);
    EXPECT_EQ(moving.motionRate, 60);
    const auto still = parsed({"--root", "--no-motion", "--motion-rate=often"});
    EXPECT_EQ(still.motion, false);
    EXPECT_FALSE(still.motionRate);
    EXPECT_FALSE(still.notice.empty());
}

// A folder given with --file plays as a slideshow at --interval, cut from one picture to the
// next, with nothing stored; the next picture is ready before its turn.
TEST(Hosted, AFolderChangesPicturesAtTheGivenInterval) {
    Process p;
    const std::filesystem::path folder = p.platform.dir.file("pics");
    std::filesystem::create_directory(folder);
    p.platform.dir.write("pics/a.bmp", test::makeBmp(64, 48, 0x0000FF));
    p.platform.dir.write("pics/b.bmp", test::makeBmp(64, 48, 0xFF0000));
    p.platform.store.set("Interval", "30");
    HostedRequest request = *ParseHostedRequest({"--window-id", "0x400001", "--file", folder.string(), "--interval", "2",
                                                 "--no-fade"}, "");
    RunHosted(p.app, request);
    ASSERT_TRUE(p.shown());
    const uint32_t first = p.shownPixel(10, 10);
    EXPECT_TRUE(first == 0xFFFF0000u || first == 0xFF0000FFu);
    p.app.mainForm->waitForNextSlide();
    p.platform.advance(1990);
    EXPECT_EQ(p.shownPixel(10, 10), first);
    p.platform.advance(20);
    EXPECT_EQ(p.shownPixel(10, 10), first == 0xFFFF0000u ? 0xFF0000FFu : 0xFFFF0000u);
    EXPECT_EQ(p.platform.store.get("Interval"), "30");
    p.app.mainForm->Unload();
}

TEST(HostedRequest, ALayerIsBackgroundOrOverlayAndNeverAnXWindowBesides) {
    EXPECT_EQ(parsed({"--layer", "background"}, "0x400001").layer, HostedLayer::Background);
    EXPECT_TRUE(parsed({"--layer", "background"}, "0x400001").error.empty());  // the variable is X's
    EXPECT_EQ(parsed({"--layer=overlay", "--file", "a.gif"}).layer, HostedLayer::Overlay);
    EXPECT_FALSE(parsed({"--layer", "Overlay"}).error.empty());
    EXPECT_FALSE(parsed({"--layer"}).error.empty());
    EXPECT_FALSE(parsed({"--layer", "overlay", "--root"}).error.empty());
    EXPECT_FALSE(parsed({"--window-id", "42", "--layer", "background"}).error.empty());
}

namespace {

void runOnLayer(Process& p, HostedLayer layer) {
    HostedRequest request;
    request.layer = layer;
    RunHosted(p.app, request);
}

}  // namespace

TEST(HostedLayer, ABackgroundIgnoresInputAndOtherShowsAndSpansWhenTheSettingsSaySo) {
    // Two outputs side by side; a 4:3 picture placed whole is either centred on each or once
    // across both, where it reaches the right edge of the first.
    for (const std::string& monitors : {std::string("Each"), std::string("Span")}) {
        Process p;
        p.platform.otherInstance = true;
        p.platform.windowTitles.insert(frmMain::kCaption);
        p.platform.monitors = {{0, 0, 100, 50}, {100, 0, 100, 50}};
        p.platform.screenW = 100;
        p.platform.screenH = 50;
        p.platform.store.set("Placement", "Fit");
        p.platform.store.set("Monitors", monitors);
        runOnLayer(p, HostedLayer::Background);
        EXPECT_EQ(p.platform.layerOverlay, false);
        ASSERT_TRUE(p.shown()) << monitors;
        const bool picture = p.shownPixel(99, 25) == 0xFFFF0000u;
        EXPECT_EQ(picture, monitors == "Span") << monitors;
    }
}

TEST(HostedLayer, AnOverlayEndsOnInputAndASecondOverlayEndsAtOnce) {
    Process p;
    runOnLayer(p, HostedLayer::Overlay);
    EXPECT_EQ(p.platform.layerOverlay, true);
    ASSERT_TRUE(p.shown());
    EXPECT_FALSE(p.app.setupForm->Loaded());
    p.app.mainForm->Form_KeyDown(65, 0);
    EXPECT_FALSE(p.app.mainForm->Loaded());

    Process second;
    second.platform.otherInstance = true;
    second.platform.windowTitles.insert(frmMain::kCaption);
    EXPECT_THROW(runOnLayer(second, HostedLayer::Overlay), ProcessTerminated);
    EXPECT_FALSE(second.shown());
}
