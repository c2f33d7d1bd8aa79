// Stills that drift: the frame drawn here against an exact bilinear, the framings' bounds and
// pace, and which frames the display scales and which the program draws.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "platform/picture/motion/draw_moving.h"
#include "platform/picture/motion/drift.h"
#include "platform/picture/motion/picture_motion.h"
#include "platform/ui/form.h"
#include "saver/frmMain.h"
#include "startup/app.h"
#include "support/fake_platform.h"

using namespace mv;

namespace {

std::shared_ptr<Bitmap> noise(int w, int h, uint32_t seed) {
    auto b = std::make_shared<Bitmap>();
    b->resize(w, h);
    std::mt19937 random(seed);
    for (uint32_t& p : b->pixels) p = 0xFF000000u | (random() & 0xFFFFFFu);
    return b;
}

// The same mapping in doubles: a pixel's centre taken back into the picture, its four
// neighbours blended exactly.
uint32_t exactAt(const Bitmap& pic, const RectD& at, int x, int y) {
    auto coord = [](double d, double lo, double len, int size) {
        return std::clamp((d + 0.5 - lo) * size / len - 0.5, 0.0, size - 1.0);
    };
    const double sx = coord(x, at.x, at.w, pic.width), sy = coord(y, at.y, at.h, pic.height);
    const int x0 = static_cast<int>(sx), y0 = static_cast<int>(sy);
    const int x1 = std::min(x0 + 1, pic.width - 1), y1 = std::min(y0 + 1, pic.height - 1);
    const double fx = sx - x0, fy = sy - y0;
    uint32_t out = 0;
    for (int c = 0; c < 32; c += 8) {
        auto ch = [&](int px, int py) { return static_cast<double>((pic.row(py)[px] >> c) & 0xFF); };
        const double v = (ch(x0, y0) * (1 - fx) + ch(x1, y0) * fx) * (1 - fy) + (ch(x0, y1) * (1 - fx) + ch(x1, y1) * fx) * fy;
        out |= static_cast<uint32_t>(std::lround(v)) << c;
    }
    return out;
}

int channelGap(uint32_t a, uint32_t b) {
    int gap = 0;
    for (int c = 0; c < 32; c += 8) gap = std::max(gap, std::abs(static_cast<int>((a >> c) & 0xFF) - static_cast<int>((b >> c) & 0xFF)));
    return gap;
}

}  // namespace

TEST(MovingDraw, MatchesAnExactBilinearAtFractionalPlacesWithTheUnderPictureAround) {
    // Odd sizes, so that the vector loops' tails run too; shrunk, enlarged and past the edges.
    const auto pic = noise(29, 17, 1);
    const auto under = noise(37, 23, 2);
    for (const RectD at : {RectD{-3.3, 2.7, 41.9, 15.2}, RectD{5.25, -1.5, 25.1, 19.9}, RectD{0.4, 0.6, 33.3, 21.7}}) {
        Bitmap dst;
        dst.resize(37, 23);
        DrawMovingScene(dst, {pic, at, under, 0});
        int worst = 0;
        for (int y = 0; y < dst.height; ++y)
            for (int x = 0; x < dst.width; ++x) {
                const bool inside = x + 0.5 >= at.x && x + 0.5 < at.x + at.w && y + 0.5 >= at.y && y + 0.5 < at.y + at.h;
                if (inside)
                    worst = std::max(worst, channelGap(dst.row(y)[x], exactAt(*pic, at, x, y)));
                else
                    ASSERT_EQ(dst.row(y)[x], under->row(y)[x]) << x << "," << y;
            }
        // Weights in 1/128 of a pixel: within two steps of the exact blend.
        EXPECT_LE(worst, 2) << at.x << "," << at.y;
    }
    // Placed whole-pixel at its own size, the picture is copied as it is; beside it, the fill.
    Bitmap dst;
    dst.resize(31, 17);
    DrawMovingScene(dst, {pic, {1, 0, 29, 17}, nullptr, 0xFF123456u});
    for (int y = 0; y < 17; ++y) {
        EXPECT_EQ(dst.row(y)[0], 0xFF123456u);
        EXPECT_EQ(dst.row(y)[30], 0xFF123456u);
        for (int x = 0; x < 29; ++x) ASSERT_EQ(dst.row(y)[x + 1], pic->row(y)[x]);
    }
}

TEST(Drift, FillNeverShowsABarWholeNeverLeavesItsBarsAndEveryDriftIsGentle) {
    const PixelRect screen{0, 0, 1920, 1080};
    for (const PicturePlacement placement : {PicturePlacement::Fill, PicturePlacement::Fit, PicturePlacement::Blur}) {
        for (uint64_t seed = 1; seed <= 20; ++seed) {
            for (const double period : {4.0, 10.0, 60.0}) {
                const PixelRect placed = PlacePicture(4000, 3000, screen, placement);
                DriftPlan plan(placement, period, seed);
                // The first frame is the picture as placed without motion.
                const RectD first = FramedRect(screen, placed, plan.framing(0));
                EXPECT_NEAR(first.x, placed.x, 0.5);
                EXPECT_NEAR(first.w, placed.width, 1e-9);
                RectD before = first;
                double fastest = 0;
                for (int step = 1; step <= 8 * 30; ++step) {
                    const double t = step / 30.0 / period;  // 30 frames a second, eight drifts
                    const auto k = static_cast<size_t>(t);
                    const Framing f = FramingBetween(plan.framing(k), plan.framing(k + 1), t - static_cast<double>(k));
                    ASSERT_GE(f.zoom, LeastZoom(placement) - 1e-9);
                    ASSERT_LE(f.zoom, MostZoom(placement) + 1e-9);
                    const RectD r = FramedRect(screen, placed, f);
                    if (placement == PicturePlacement::Fill) {
                        ASSERT_LE(r.x, 1e-6);
                        ASSERT_LE(r.y, 1e-6);
                        ASSERT_GE(r.x + r.w, 1920 - 1e-6);
                        ASSERT_GE(r.y + r.h, 1080 - 1e-6);
                    } else if (placement == PicturePlacement::Fit) {
                        ASSERT_GE(r.x, -1e-6);
                        ASSERT_GE(r.y, -1e-6);
                        ASSERT_LE(r.x + r.w, 1920 + 1e-6);
                        ASSERT_LE(r.y + r.h, 1080 + 1e-6);
                    } else {
                        // Blurred bars: the height it fills it keeps filling.
                        ASSERT_LE(r.y, 1e-6);
                        ASSERT_GE(r.y + r.h, 1080 - 1e-6);
                    }
                    // How far any edge moved in this thirtieth of a second.
                    const double moved = std::max({std::abs(r.x - before.x), std::abs(r.y - before.y),
                                                   std::abs(r.x + r.w - before.x - before.w), std::abs(r.y + r.h - before.y - before.h)});
                    fastest = std::max(fastest, moved * 30.0);
                    before = r;
                }
                // A few pixels a second on a 1080p screen, whatever the period.
                EXPECT_LT(fastest, 24.0) << static_cast<int>(placement) << " seed " << seed << " period " << period;
            }
        }
    }
}

TEST(Drift, EachPanHeadsAwayFromTheLastOne) {
    for (uint64_t seed = 1; seed <= 50; ++seed) {
        DriftPlan plan(PicturePlacement::Fill, 30.0, seed);
        double lastU = 0, lastV = 0;
        bool have = false;
        for (size_t k = 0; k < 12; ++k) {
            const Framing a = plan.framing(k), b = plan.framing(k + 1);
            const double du = b.u - a.u, dv = b.v - a.v;
            if (std::hypot(du, dv) < 0.3) continue;  // pressed into a corner: too short to say
            if (have) {
                const double cosine = (du * lastU + dv * lastV) / std::hypot(du, dv) / std::hypot(lastU, lastV);
                EXPECT_LT(cosine, 0.5) << "seed " << seed << " drift " << k;  // at least 60 degrees apart
            }
            lastU = du, lastV = dv, have = true;
        }
    }
}

namespace {

struct MovingForm : Form {
    explicit MovingForm(test::FakePlatform& p) : Form(p, "moving") { Move(0, 0, 320 * 15, 200 * 15); }
};

}  // namespace

TEST(MovingPaint, TheDisplayScalesAFrameUnlessSomethingIsDrawnOverItOrTheProgramIsToldToDraw) {
    test::FakePlatform platform;
    platform.screenW = 320;
    platform.screenH = 200;
    MovingForm form(platform);
    form.Load();
    form.setPlacement(PicturePlacement::Fill, Monitors::Each);
    auto* host = static_cast<test::FakeWindowHost*>(form.host());
    auto picture = std::make_shared<RgbPicture>(*noise(400, 200, 3));
    auto motion = std::make_shared<PictureMotion>(PicturePlacement::Fill, 0, nullptr, 10.0, 7);
    motion->prepare(*picture, {{0, 0, host->clientWidthPx(), host->clientHeightPx()}}, {{host->clientWidthPx(), host->clientHeightPx()}});
    const PictureImage image{picture, 0, nullptr, motion};

    // Scaled by the display: the program sends the frame and presents nothing over it.
    host->scalesMoving = true;
    const int presents = host->presents;
    form.PaintPicture(image, 0, 0, form.ScaleWidth(), form.ScaleHeight());
    form.repaintMoving();
    ASSERT_EQ(host->movingShown.size(), 2u);
    EXPECT_EQ(host->presents, presents);
    const MovingScene& sent = host->movingShown.back().second;
    // The picture sent is drawn at its largest framing's size at most, never the decoded one.
    EXPECT_LE(sent.picture->width, std::ceil(host->clientHeightPx() * 2 * kMaxZoom));
    EXPECT_TRUE(form.moving());

    // Drawn here, and the same pixels as the display would be given.
    form.setDrawMotion(true);
    form.repaintMoving();
    EXPECT_EQ(host->movingShown.size(), 2u);
    EXPECT_EQ(host->presents, presents + 1);
    EXPECT_FALSE(form.backing(0).empty());

    // Something written over the picture needs its pixels here too.
    form.setDrawMotion(false);
    bool overlaid = false;
    form.setOverlay([&](Bitmap&, size_t, const PixelRect&, const PixelRect&) { overlaid = true; });
    form.repaintMoving();
    EXPECT_TRUE(overlaid);
    EXPECT_EQ(host->movingShown.size(), 2u);

    // Stretch keeps its shape: nothing moves, and a repaint of moving pictures does nothing.
    form.setOverlay({});
    form.setPlacement(PicturePlacement::Stretch, Monitors::Each);
    const int before = host->presents;
    form.repaintMoving();
    EXPECT_EQ(host->presents, before);
    EXPECT_EQ(host->movingShown.size(), 2u);
}

namespace {

struct MotionShow {
    explicit MotionShow(const std::string& placement, const std::string& motion) {
        platform.store.set("AniFile", platform.dir.write("shown.bmp", test::makeBmp(640, 480, 0x0000FF)));
        platform.store.set("Mousesens", "15");
        platform.store.set("Placement", placement);
        platform.store.set("Motion", motion);
        platform.screenW = 1280;
        platform.screenH = 720;
    }
    test::FakePlatform platform;
    App app{platform};
};

}  // namespace

TEST(MotionShow, OnlyAStillThatMovesWakesTheFrameClockAndAtTheRateAsked) {
    {
        MotionShow show("Fill", "1");
        show.app.mainForm->Load();
        EXPECT_TRUE(show.app.mainForm->MotionTimer.Enabled());
        EXPECT_EQ(show.app.mainForm->MotionTimer.Interval(), 16);  // 60 frames a second, or a few more
    }
    {
        MotionShow show("Fit", "1");
        show.platform.store.set("MotionRate", "30");
        show.app.mainForm->Load();
        EXPECT_EQ(show.app.mainForm->MotionTimer.Interval(), 33);
    }
    // Off, or stretched: nothing wakes while the still stays, as before.
    for (const auto& [placement, motion] : {std::pair{"Fill", "0"}, std::pair{"Stretch", "1"}, std::pair{"Fill", "x"}}) {
        MotionShow show(placement, motion);
        show.app.mainForm->Load();
        EXPECT_FALSE(show.app.mainForm->MotionTimer.Enabled()) << placement << " " << motion;
    }
}
