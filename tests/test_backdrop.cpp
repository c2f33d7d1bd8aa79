#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/picture/backdrop.h"
#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;

namespace {

constexpr int32_t kVioletColor = 0xFF0080;
constexpr uint32_t kViolet = 0xFF8000FFu;

int channel(uint32_t p, int c) { return static_cast<int>((p >> (8 * c)) & 0xFF); }

// The largest step of any channel between two neighbouring pixels of the rectangle.
int roughness(const Bitmap& b, const PixelRect& r) {
    int worst = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            for (int c = 0; c < 3; ++c) {
                if (x + 1 < r.x + r.width) worst = std::max(worst, std::abs(channel(b.row(y)[x], c) - channel(b.row(y)[x + 1], c)));
                if (y + 1 < r.y + r.height) worst = std::max(worst, std::abs(channel(b.row(y)[x], c) - channel(b.row(y + 1)[x], c)));
            }
    return worst;
}

Bitmap screenOf(const Picture& picture, const Backdrop& backdrop, const PixelRect& area) {
    Bitmap screen;
    screen.resize(area.width, area.height, kViolet);
    const PixelRect placed = PlacePicture(picture.width(), picture.height(), area, PicturePlacement::Blur);
    backdrop.paintBars(screen, area, placed);
    return screen;
}

}  // namespace

// The bars carry the picture filling the screen, each side its own side of it, blurred smooth
// and darkened; the picture's own place is left alone.
TEST(Backdrop, BarsAreTheFillBlurredAndDarkened) {
    const PixelRect area{0, 0, 1280, 720};
    // Red left half, blue right half, a fine black and white check across the middle rows.
    Bitmap pixels;
    pixels.resize(800, 600, 0xFFFF0000u);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x) {
            uint32_t& p = pixels.row(y)[x];
            if (x >= 400) p = 0xFF0000FFu;
            if (y >= 250 && y < 350) p = ((x / 4 + y / 4) % 2) ? 0xFFFFFFFFu : 0xFF000000u;
        }
    const RgbPicture picture(pixels);
    const BackdropPtr backdrop = MakeBackdrop(picture, {area}, kVioletColor);
    ASSERT_TRUE(backdrop);
    const Bitmap screen = screenOf(picture, *backdrop, area);

    EXPECT_EQ(screen.row(360)[640], kViolet);  // under the picture: untouched
    const PixelRect leftBar{0, 0, 160, 720}, rightBar{1120, 0, 160, 720};
    EXPECT_LE(roughness(screen, leftBar), 4);
    EXPECT_LE(roughness(screen, rightBar), 4);
    for (int y : {0, 100, 600, 719}) {
        const uint32_t left = screen.row(y)[5], right = screen.row(y)[1274];
        EXPECT_NE(left, kViolet);
        EXPECT_GT(channel(left, 2), 100) << y;   // red, darkened: not the full 255
        EXPECT_LT(channel(left, 2), 160) << y;
        EXPECT_LT(channel(left, 0), 20) << y;
        EXPECT_GT(channel(right, 0), 100) << y;  // blue on the right
        EXPECT_LT(channel(right, 0), 160) << y;
        EXPECT_LT(channel(right, 2), 20) << y;
    }
    // The check is blurred to an even grey, not kept black and white.
    const uint32_t grey = screen.row(360)[40];
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(channel(grey, c), 0.55 * 127, 40) << c;
}

// A picture of the screen's shape has no bars: no backdrop is made. Pictures of one pixel, or a
// thread-thin one, on screens as thin, give a small backdrop and paint without fault.
TEST(Backdrop, NoBarsNoBackdropAndExtremeShapesStaySmall) {
    Bitmap exact;
    exact.resize(640, 360, 0xFF00FF00u);
    EXPECT_FALSE(MakeBackdrop(RgbPicture(exact), {{0, 0, 1280, 720}, {0, 0, 1920, 1080}}, 0));

    const PixelSize pictures[] = {{1, 1}, {1, 5000}, {5000, 1}};
    const PixelRect areas[] = {{0, 0, 1280, 720}, {0, 0, 1, 5000}, {0, 0, 7, 3}, {-3000, -10, 8000, 1200}};
    for (const PixelSize& size : pictures) {
        Bitmap pixels;
        pixels.resize(size.width, size.height, 0xFF00FF00u);
        const RgbPicture picture(pixels);
        for (const PixelRect& area : areas) {
            const BackdropPtr backdrop = MakeBackdrop(picture, {area}, kVioletColor);
            if (!backdrop) continue;  // the picture fits that area exactly
            EXPECT_LE(backdrop->bytes(), 1024u * 1024u * 4u) << size.width << "x" << size.height;
            Bitmap screen;
            screen.resize(std::min(area.width, 1280), std::min(area.height, 1280), kViolet);
            const PixelRect placed = PlacePicture(size.width, size.height, area, PicturePlacement::Blur);
            backdrop->paintBars(screen, area, placed);
            EXPECT_NE(screen.row(0)[0], kViolet) << size.width << "x" << size.height << " in " << area.width << "x" << area.height;
        }
    }
}

// A transparent GIF's frames all show over the first frame's backdrop: its bars stay as they
// were while the frames change, and differ from the background colour.
TEST(Backdrop, AnAnimationKeepsItsFirstFramesBackdrop) {
    test::FakePlatform platform;
    App app{platform};
    test::GifPlan plan{400, 300, test::basicPalette(), "89a", true, true, {}};
    for (uint8_t colour : {0, 1, 2}) plan.frames.push_back(test::solidFrame(400, 300, colour, 10));
    platform.store.set("AniFile", platform.dir.write("anim.gif", test::writeGif(plan)));
    platform.store.set("BackColors", std::to_string(kVioletColor));
    platform.store.set("Mousesens", "15");
    platform.store.set("Placement", "Blur");
    platform.screenW = 1280;
    platform.screenH = 720;
    app.mainForm->Load();
    const Bitmap& screen = app.mainForm->backing();
    ASSERT_EQ(screen.width, 1280);
    const uint32_t bar = screen.row(360)[10], picture = screen.row(360)[640];
    EXPECT_NE(bar, kViolet);
    EXPECT_EQ(picture, 0xFFFF0000u);  // frame 0 is red
    EXPECT_EQ(channel(bar, 2), static_cast<int>(255 * kBackdropBrightness >> 8));
    for (int tick = 0; tick < 4; ++tick) {
        app.mainForm->waitForFramesAhead();
        platform.advance(100);
        EXPECT_EQ(screen.row(360)[10], bar) << tick;
        EXPECT_EQ(screen.row(10)[1270], bar) << tick;
    }
    EXPECT_NE(screen.row(360)[640], picture);  // the frames did change
    app.mainForm->Unload();
}

// A folder's pictures come with their backdrops made ahead, and the fade between two of them
// blends the bars too, from the one backdrop to the other.
TEST(Backdrop, AFolderShowFadesFromBarsToBars) {
    test::FakePlatform platform;
    App app{platform};
    const std::string folder = platform.dir.file("pics");
    std::filesystem::create_directory(folder);
    platform.dir.write("pics/red.bmp", test::makeBmp(64, 48, 0x0000FF));
    platform.dir.write("pics/blue.bmp", test::makeBmp(64, 48, 0xFF0000));
    platform.store.set("AniFile", folder);
    platform.store.set("Interval", "2");
    platform.store.set("Fade", "1");
    platform.store.set("Mousesens", "15");
    platform.store.set("Placement", "Blur");
    platform.screenW = 1280;
    platform.screenH = 720;
    app.mainForm->Load();
    const Bitmap& screen = app.mainForm->backing();
    ASSERT_EQ(screen.width, 1280);
    const int dark = static_cast<int>(255 * kBackdropBrightness >> 8);
    const uint32_t firstBar = screen.row(10)[10];
    const bool redFirst = channel(firstBar, 2) == dark;
    EXPECT_EQ(channel(firstBar, redFirst ? 0 : 2), 0);
    EXPECT_EQ(channel(firstBar, redFirst ? 2 : 0), dark);
    app.mainForm->waitForNextSlide();
    platform.advance(2000);
    platform.advance(500);
    const uint32_t mid = screen.row(10)[10];
    EXPECT_GT(channel(mid, 0), dark / 5);
    EXPECT_GT(channel(mid, 2), dark / 5);
    platform.advance(600);
    EXPECT_EQ(channel(screen.row(10)[10], redFirst ? 0 : 2), dark);
    EXPECT_EQ(channel(screen.row(10)[10], redFirst ? 2 : 0), 0);
    app.mainForm->Unload();
}
