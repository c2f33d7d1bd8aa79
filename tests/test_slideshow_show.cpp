#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <set>
#include <thread>

#include "saver/frmMain.h"
#include "saver/slide_fade.h"
#include "saver/slide_preparer.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;

namespace {

// A show of a folder of solid-colour pictures on the scripted platform; no fades, so each
// change is one paint.
struct FolderShow {
    FolderShow() {
        folder = platform.dir.file("pics");
        std::filesystem::create_directory(folder);
        platform.store.set("AniFile", folder);
        platform.store.set("Interval", "2");
        platform.store.set("Fade", "0");
        platform.store.set("Mousesens", "15");
    }
    void add(const std::string& name, int32_t color, int w = 64, int h = 48) {
        platform.dir.write("pics/" + name, test::makeBmp(w, h, color));
    }
    void run() { app.mainForm->Load(); }
    uint32_t at(int x, int y, size_t surface = 0) const { return app.mainForm->backing(surface).row(y)[x]; }
    // Runs the clock past the next change, once the picture it needs is ready.
    void change(long ms) {
        app.mainForm->waitForNextSlide();
        platform.advance(ms);
    }

    test::FakePlatform platform;
    App app{platform};
    std::string folder;
};

// How many lines holding `text` have been said, once at least one has (a few seconds at most).
size_t said(test::FakePlatform& platform, const std::string& text) {
    auto count = [&] {
        const std::vector<std::string> lines = platform.reports();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                                 [&](const std::string& l) { return l.find(text) != std::string::npos; }));
    };
    for (int k = 0; k < 500 && count() == 0; ++k) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return count();
}

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

}  // namespace

// Every picture once a round, each placed on its own (a portrait one gets its own bars), and
// a file that is no picture skipped with one line on the error output.
TEST(FolderShow, ARoundShowsEveryPictureOncePlacedOnItsOwnAndSkipsBadFiles) {
    FolderShow s;
    s.platform.store.set("Placement", "Fit");
    s.platform.store.set("BackColors", std::to_string(0x00FF00));
    s.add("red.bmp", 0x0000FF, 400, 300);
    s.add("blue.bmp", 0xFF0000, 400, 300);
    s.add("tall.bmp", 0xFFFFFF, 100, 400);
    s.platform.dir.write("pics/bad.jpg", std::string(400, 'x'));
    s.run();
    ASSERT_TRUE(s.app.mainForm->Visible());
    std::set<uint32_t> centres{s.at(640, 512)};
    bool tallHadBars = false;
    for (int k = 0; k < 2; ++k) {
        s.change(2000);
        centres.insert(s.at(640, 512));
        if (s.at(640, 512) == 0xFFFFFFFFu) tallHadBars = s.at(10, 512) == 0xFF00FF00u;
    }
    EXPECT_EQ(centres, (std::set<uint32_t>{0xFFFF0000u, 0xFF0000FFu, 0xFFFFFFFFu}));
    EXPECT_TRUE(tallHadBars);
    s.app.mainForm->Unload();
}

// A different picture on each monitor: the second one changes halfway through the first one's
// interval, to a picture of its own, and the first one keeps its own time.
TEST(FolderShow, DifferentMonitorsChangeAtTheirOwnTimes) {
    FolderShow s;
    s.platform.store.set("Monitors", "Different");
    s.platform.store.set("Shuffle", "0");
    s.platform.monitors = {{0, 0, 1280, 720}, {1280, 0, 800, 600}};
    s.add("1.bmp", 0x0000FF);
    s.add("2.bmp", 0x00FF00);
    s.add("3.bmp", 0xFF0000);
    s.run();
    ASSERT_EQ(s.app.mainForm->surfaceCount(), 2u);
    const uint32_t first = s.at(10, 10, 0);
    EXPECT_EQ(s.at(10, 10, 1), first);
    s.change(1010);
    EXPECT_EQ(s.at(10, 10, 0), first);
    const uint32_t second = s.at(10, 10, 1);
    EXPECT_NE(second, first);
    s.change(1000);
    EXPECT_NE(s.at(10, 10, 0), first);
    EXPECT_NE(s.at(10, 10, 0), second);
    EXPECT_EQ(s.at(10, 10, 1), second);
    s.app.mainForm->Unload();
}

// A fade passes through the blend of the two pictures, ends on the new one, and a key ends the
// show in the middle of one, with nothing painted after.
TEST(FolderShow, FadeBlendsAndInputEndsItAtOnce) {
    FolderShow s;
    s.platform.store.set("Fade", "1");
    s.add("red.bmp", 0x0000FF);
    s.add("blue.bmp", 0xFF0000);
    s.run();
    const uint32_t first = s.at(10, 10);
    const uint32_t other = first == 0xFFFF0000u ? 0xFF0000FFu : 0xFFFF0000u;
    s.change(2000);
    s.platform.advance(500);
    const uint32_t mid = s.at(10, 10);
    EXPECT_NE(mid, first);
    EXPECT_NE(mid, other);
    EXPECT_GT(mid & 0xFF, 0x40u);
    EXPECT_GT((mid >> 16) & 0xFF, 0x40u);
    s.platform.advance(600);
    EXPECT_EQ(s.at(10, 10), other);
    s.change(2000);
    s.platform.advance(300);
    s.app.mainForm->Form_KeyDown(65, 0);
    EXPECT_FALSE(s.app.mainForm->Loaded());
    s.platform.advance(5000);  // no timer of the show is left to tick
}

// One picture spanning the monitors changes with a cut even with "Fade" on.
TEST(FolderShow, SpannedPicturesChangeWithACut) {
    FolderShow s;
    s.platform.store.set("Fade", "1");
    s.platform.store.set("Monitors", "Span");
    s.add("red.bmp", 0x0000FF);
    s.add("blue.bmp", 0xFF0000);
    s.run();
    const uint32_t first = s.at(10, 10);
    s.change(2000);
    EXPECT_EQ(s.at(10, 10), first == 0xFFFF0000u ? 0xFF0000FFu : 0xFFFF0000u);
    s.app.mainForm->Unload();
}

// A GIF's first frame is drawn at its placed size on the second thread, so the change into it
// copies a drawing; painted, the drawing is the frame itself, bars and all.
TEST(FolderShow, AGifsFirstFrameIsDrawnBeforeItsTurn) {
    FolderShow s;
    test::GifPlan plan{400, 300, test::basicPalette(), "89a", true, true, {}};
    for (uint8_t colour : {0, 1, 2}) plan.frames.push_back(test::solidFrame(400, 300, colour, 10));
    s.platform.dir.write("pics/anim.gif", test::writeGif(plan));
    SlideTarget target;
    target.surfaces = {{0, 0, 1280, 720}, {1280, 0, 600, 800}};
    target.placement = PicturePlacement::Fit;
    target.backColor = 0x00FF00;
    SlidePreparer preparer(s.platform, s.folder, {}, false, target);
    std::optional<PreparedSlide> slide;
    while (!(slide = preparer.take()) && !preparer.nothingToShow()) preparer.waitReady(50);
    ASSERT_TRUE(slide && slide->animated());
    ASSERT_TRUE(slide->firstDrawn);
    EXPECT_EQ(slide->firstDrawn->width(), 400);
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{600, 800}}) {
        const auto drawn = RenderPlaced(*slide->firstDrawn, w, h, PicturePlacement::Fit, 0x00FF00);
        const auto frame = RenderPlaced(*slide->frames.front(), w, h, PicturePlacement::Fit, 0x00FF00);
        EXPECT_TRUE(drawn->pixels().pixels == frame->pixels().pixels) << w << "x" << h;
    }
    preparer.requestStop();
}

// A still is decoded for the areas it is placed on, as a single picture is: each monitor's own,
// or the rectangle of them all when it spans them.
TEST(FolderShow, StillsAreDecodedForTheAreasTheyArePlacedOn) {
    const std::pair<Monitors, PixelSize> cases[] = {
        {Monitors::Each, {1280, 720}}, {Monitors::Different, {1280, 720}}, {Monitors::Span, {2080, 720}}};
    for (const auto& [monitors, floor] : cases) {
        FolderShow s;
        s.add("a.bmp", 0x0000FF, 640, 480);
        SlideTarget target;
        target.surfaces = {{0, 0, 1280, 720}, {1280, 0, 800, 600}};
        target.monitors = monitors;
        SlidePreparer preparer(s.platform, s.folder, {}, false, target);
        std::optional<PreparedSlide> slide;
        while (!(slide = preparer.take()) && !preparer.nothingToShow()) preparer.waitReady(50);
        ASSERT_TRUE(slide);
        ASSERT_EQ(s.platform.decodeFloors.size(), 1u) << static_cast<int>(monitors);
        EXPECT_EQ(s.platform.decodeFloors.front(), floor) << static_cast<int>(monitors);
        preparer.requestStop();
    }
}

// While the first picture is slow to come, the window is up in the background colour and a key
// pressed then ends the show without waiting for the picture.
TEST(FolderShow, AKeyBeforeTheFirstPictureEndsTheShow) {
    FolderShow s;
    s.platform.store.set("BackColors", std::to_string(0x00FF00));
    s.add("a.bmp", 0x0000FF);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    s.platform.onDecode = [released] { released.wait_for(std::chrono::seconds(3)); };
    std::optional<bool> pictureWhenPressed;
    s.platform.onDoEvents = [&] {
        frmMain& f = *s.app.mainForm;
        if (pictureWhenPressed || !f.Loaded() || !f.Visible()) return;
        EXPECT_EQ(f.BackColor(), 0x00FF00);
        pictureWhenPressed = f.Picture1.Picture() != nullptr;
        f.Form_KeyDown(65, 0);
    };
    s.run();
    release.set_value();
    ASSERT_TRUE(pictureWhenPressed);
    EXPECT_FALSE(*pictureWhenPressed);
    EXPECT_FALSE(s.app.mainForm->Loaded());
}

// The files of a running show change under it: the picture on screen cut short is skipped at
// its next turn with a line, one written anew shows as it is now, and with the folder gone, or
// a file in its place, the picture on screen stays, said once, until a key ends the show.
TEST(FolderShow, GoesOnWhileItsFolderChanges) {
    FolderShow s;
    s.platform.store.set("Shuffle", "0");
    s.add("a.bmp", 0x0000FF);
    s.add("b.bmp", 0xFF0000);
    s.run();
    ASSERT_EQ(s.at(10, 10), kRed);
    s.platform.dir.write("pics/a.bmp", std::string(300, 'x'));
    s.change(2000);
    EXPECT_EQ(s.at(10, 10), kBlue);
    EXPECT_GE(said(s.platform, "a.bmp: not a picture"), 1u);
    s.add("a.bmp", 0x00FF00);
    for (int k = 0; k < 4 && s.at(10, 10) != kGreen; ++k) s.change(2000);
    EXPECT_EQ(s.at(10, 10), kGreen);
    std::filesystem::remove_all(s.folder);
    s.platform.advance(2000);
    EXPECT_EQ(said(s.platform, "no picture in " + s.folder), 1u);
    s.platform.dir.write("pics", "a file now");
    s.platform.advance(6000);
    EXPECT_NE(s.at(10, 10) & 0xFFFFFFu, 0u);
    EXPECT_TRUE(s.app.mainForm->Visible());
    s.app.mainForm->Form_KeyDown(65, 0);
    EXPECT_FALSE(s.app.mainForm->Loaded());
}

// A folder's only picture written anew under the same name shows as it is now.
TEST(FolderShow, TheOnlyPictureWrittenAnewShows) {
    FolderShow s;
    s.add("a.bmp", 0x0000FF);
    s.run();
    ASSERT_EQ(s.at(10, 10), kRed);
    s.add("a.bmp", 0x00FF00, 32, 24);
    for (int k = 0; k < 4 && s.at(10, 10) != kGreen; ++k) s.change(2000);
    EXPECT_EQ(s.at(10, 10), kGreen);
    s.app.mainForm->Unload();
}

// A stored interval that cannot be used as it is is said in one line, and the show changes at
// the seconds used instead.
TEST(FolderShow, AnUnusableStoredIntervalIsSaid) {
    FolderShow s;
    s.platform.store.set("Interval", "0");
    s.add("a.bmp", 0x0000FF);
    s.add("b.bmp", 0xFF0000);
    s.run();
    EXPECT_EQ(said(s.platform, "'0'"), 1u);
    const uint32_t first = s.at(10, 10);
    s.change(2000);
    EXPECT_NE(s.at(10, 10), first);
    s.app.mainForm->Unload();
}
