#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>

#include "platform/error.h"
#include "platform/picture/frames/composed_frames.h"
#include "saver/frmMain.h"
#include "slideshow/folder_scan.h"
#include "startup/app.h"
#include "support/fake_platform.h"

using namespace mv;
using namespace mv::test;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

// Frames as a decoder reports them, each rectangle one colour.
class ScriptedFrames final : public FrameSource {
public:
    struct Frame {
        FrameInfo info;
        uint32_t colour;
    };
    ScriptedFrames(int w, int h, std::vector<Frame> frames, int loops = 0) : w_(w), h_(h), loops_(loops) {
        for (const Frame& f : frames) {
            infos_.push_back(f.info);
            colours_.push_back(f.colour);
        }
    }
    int canvasWidth() const override { return w_; }
    int canvasHeight() const override { return h_; }
    int loopCount() const override { return loops_; }
    const std::vector<FrameInfo>& frames() const override { return infos_; }
    Bitmap decodeFrame(int k) const override {
        ++decodes;
        Bitmap b;
        b.resize(infos_[size_t(k)].width + wrongWidth, infos_[size_t(k)].height, colours_[size_t(k)]);
        return b;
    }
    mutable std::atomic<int> decodes{0};
    int wrongWidth = 0;

private:
    int w_, h_, loops_;
    std::vector<FrameInfo> infos_;
    std::vector<uint32_t> colours_;
};

FrameInfo rect(int x, int y, int w, int h, long ms = 100, FrameDispose dispose = FrameDispose::Keep, bool blend = true) {
    FrameInfo f;
    f.x = x, f.y = y, f.width = w, f.height = h, f.delayMs = ms, f.dispose = dispose, f.blend = blend;
    return f;
}

// The picture painted 1:1 over a black background.
Bitmap painted(const Picture& p) {
    Bitmap out;
    out.resize(p.width(), p.height());
    p.stretchTo(out, 0, 0, p.width(), p.height(), 0);
    return out;
}

}  // namespace

TEST(ComposedFrames, DisposalAndBlendingAsTheFormatsDefineInAnyPaintingOrder) {
    auto source = std::make_shared<ScriptedFrames>(
        4, 2,
        std::vector<ScriptedFrames::Frame>{
            {rect(0, 0, 4, 2), kRed},
            {rect(1, 0, 2, 2, 100, FrameDispose::Restore), 0x800000FFu},  // half-covering blue, then undone
            {rect(0, 0, 1, 1, 100, FrameDispose::Clear, false), 0x00000000u},  // replaces: a hole
            {rect(3, 1, 1, 1), kGreen},
        });
    const ComposedFrames composed = ComposeFrames(source);
    ASSERT_EQ(composed.frames.size(), 4u);
    auto check = [&] {
        const Bitmap f1 = painted(*composed.frames[1]);
        EXPECT_EQ(f1.row(0)[0], kRed);
        EXPECT_EQ(f1.row(1)[2], 0xFF7F0080u);  // 50 % blue over red
        const Bitmap f2 = painted(*composed.frames[2]);
        EXPECT_EQ(f2.row(0)[0], 0xFF000000u);  // the hole shows the background colour
        EXPECT_EQ(f2.row(1)[2], kRed);          // frame 1 restored what it covered
        const Bitmap f3 = painted(*composed.frames[3]);
        EXPECT_EQ(f3.row(0)[0], 0xFF000000u);
        EXPECT_EQ(f3.row(1)[3], kGreen);
        EXPECT_EQ(f3.row(0)[1], kRed);
    };
    check();
    // Painted backwards, each canvas is composed again from the start, to the same pixels.
    for (int k = 3; k >= 0; --k) painted(*composed.frames[size_t(k)]);
    check();
    // The loop fits the budget: a second round decodes nothing.
    const int decoded = source->decodes;
    check();
    EXPECT_EQ(source->decodes, decoded);
}

TEST(ComposedFrames, ALoopBeyondTheBudgetKeepsFewCanvasesAndComposesRightEachRound) {
    std::vector<ScriptedFrames::Frame> frames{{rect(0, 0, 2048, 2048), kRed}};
    for (int k = 1; k < 8; ++k) frames.push_back({rect(k, 0, 1, 1), kBlue});
    auto source = std::make_shared<ScriptedFrames>(2048, 2048, frames);
    const ComposedFrames composed = ComposeFrames(source);
    for (int round = 0; round < 2; ++round)
        for (int k = 1; k < 8; ++k) {
            composed.frames[size_t(k)]->prepare();
            Bitmap out;
            out.resize(16, 1);
            composed.frames[size_t(k)]->stretchTo(out, 0, 0, 2048, 2048, 0);
            EXPECT_EQ(out.row(0)[k], kBlue) << round << " " << k;
            EXPECT_EQ(out.row(0)[k + 1], kRed) << round << " " << k;
        }
}

TEST(ComposedFrames, BadFramesAreRefusedCalmly) {
    // A canvas beyond the size guard is refused before anything is allocated.
    EXPECT_THROW(ComposeFrames(std::make_shared<ScriptedFrames>(100000, 100000,
                                                                std::vector<ScriptedFrames::Frame>{{rect(0, 0, 1, 1), kRed}})),
                 PlatformError);
    // A frame outside the canvas, or decoded at another size than it said, fails its paint.
    auto outside = std::make_shared<ScriptedFrames>(4, 4, std::vector<ScriptedFrames::Frame>{{rect(2, 2, 4, 1), kRed}});
    EXPECT_THROW(painted(*ComposeFrames(outside).frames[0]), PlatformError);
    auto wrong = std::make_shared<ScriptedFrames>(4, 4, std::vector<ScriptedFrames::Frame>{{rect(0, 0, 4, 4), kRed}});
    wrong->wrongWidth = 1;
    EXPECT_THROW(painted(*ComposeFrames(wrong).frames[0]), PlatformError);
}

// An animated WebP (whatever its name) through the saver window's start-up: it plays as a GIF
// does, and a file that counts its plays ends on its last frame.
class FramesShow : public ::testing::Test {
protected:
    void SetUp() override {
        savedDir_ = fs::current_path();
        fs::current_path(platform.dir.path());
        platform.cursorCount = -1;
        platform.store.set("Mousesens", "10");
        std::string webp("RIFF\x40\0\0\0WEBPVP8X", 16);
        webp.resize(200, '\0');
        platform.store.set("AniFile", platform.dir.write("sticker.png", webp));
    }
    void TearDown() override { fs::current_path(savedDir_); }

    void frames(int loops) {
        platform.frames = [loops](const std::vector<uint8_t>&) -> FrameSourcePtr {
            return std::make_shared<ScriptedFrames>(
                8, 6,
                std::vector<ScriptedFrames::Frame>{{rect(0, 0, 8, 6, 0), kRed},  // no delay: plays as 100 ms
                                                   {rect(0, 0, 8, 6, 50), kGreen},
                                                   {rect(0, 0, 8, 6, 50), kBlue}},
                loops);
        };
    }
    uint32_t shown() { return app.mainForm->Visible() ? app.mainForm->backing().row(500)[600] : 0; }

    FakePlatform platform;
    App app{platform};

private:
    fs::path savedDir_;
};

// Each tick waits out the delay of the frame shown last, as a GIF's do.
TEST_F(FramesShow, PlaysForEverWhenTheFileSaysSo) {
    frames(0);
    app.mainForm->Load();
    ASSERT_TRUE(app.mainForm->Visible());
    EXPECT_EQ(shown(), kRed);
    platform.advance(100);
    EXPECT_EQ(shown(), kGreen);
    platform.advance(100);
    EXPECT_EQ(shown(), kBlue);
    platform.advance(50 + 50);  // the wrap, then frame 1 again
    EXPECT_EQ(shown(), kGreen);
}

TEST_F(FramesShow, StopsOnItsLastFrameAfterTheCountedPlays) {
    frames(1);
    app.mainForm->Load();
    ASSERT_TRUE(app.mainForm->Visible());
    platform.advance(100 + 100);
    EXPECT_EQ(shown(), kBlue);
    platform.advance(50);
    EXPECT_FALSE(app.mainForm->AnimationTimer.Enabled());
    platform.advance(1000);
    EXPECT_EQ(shown(), kBlue);
}

TEST(FolderScan, FindsTodaysFormatsByNameOrFirstBytes) {
    TempDir dir;
    dir.write("a.HEIC", std::string(200, 'x'));
    dir.write("b.jxl", std::string(200, 'x'));
    dir.write("c.tiff", std::string(200, 'x'));
    dir.write("IMG_0001", std::string("\0\0\0\x18" "ftypheic\0\0\0\0mif1heic", 24) + std::string(200, 'x'));
    dir.write("download", std::string("RIFF\0\0\0\0WEBPVP8 ", 16) + std::string(200, 'x'));
    dir.write("notes.txt", std::string("RIFF but no picture"));
    dir.write("BMW", std::string("BMW service dates, no picture"));
    dir.write("movie", std::string("\0\0\0\x18" "ftypqt  \0\0\0\0qt  ", 20) + std::string(200, 'x'));
    std::vector<std::string> names;
    for (const std::string& p : slides::ScanFolder(dir.path().string(), {}).pictures)
        names.push_back(fs::path(p).filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"IMG_0001", "a.HEIC", "b.jxl", "c.tiff", "download"}));
}
