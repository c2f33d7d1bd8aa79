#include <gtest/gtest.h>

#include <filesystem>

#include "anim/gif_split.h"
#include "anim/scratch_file.h"
#include "platform/error.h"
#include "platform/files.h"
#include "support/anim_fixture.h"

using namespace mv;
using namespace mv::test;
namespace fs = std::filesystem;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu;

void put16(std::vector<uint8_t>& f, int v) {
    f.push_back(static_cast<uint8_t>(v));
    f.push_back(static_cast<uint8_t>(v >> 8));
}

// Appends a frame chunk (from its 0xF9 label on) showing a 2 x 2 image of one colour, its data
// padded so that the image's terminator lands exactly at `terminatorAt`. A broken frame has an
// impossible LZW code size, so that the reader refuses its frame file.
void appendFrame(std::vector<uint8_t>& f, int delayCs, uint8_t colour, size_t terminatorAt, bool broken = false) {
    f.insert(f.end(), {0xF9, 0x04, 0x04});
    put16(f, delayCs);
    f.insert(f.end(), {0x00, 0x00, 0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x00, static_cast<uint8_t>(broken ? 0 : 2)});
    const uint8_t pixels[4] = {colour, colour, colour, colour};
    std::vector<uint8_t> payload = lzwEncode(pixels, 4, 2);
    size_t remaining = terminatorAt - f.size();
    size_t used = 0;
    while (remaining > 0) {
        size_t len = std::min<size_t>(255, remaining - 1);
        if (remaining - (len + 1) == 1) --len;
        f.push_back(static_cast<uint8_t>(len));
        for (size_t i = 0; i < len; ++i, ++used) f.push_back(used < payload.size() ? payload[used] : 0x55);
        remaining -= len + 1;
    }
    f.push_back(0x00);
}

// 13 000 bytes: 781 bytes of header and 256-colour table, a 19-byte loop extension ending at
// 799, frames of red, green and blue whose terminators sit at 5000, 9000 and 12998.
std::vector<uint8_t> workedExample(int brokenFrame = -1) {
    std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', 2, 0, 2, 0, 0xF7, 0, 0};
    for (int i = 0; i < 256; ++i) {
        const uint32_t c = i == 0 ? 0xFF0000 : i == 1 ? 0x00FF00 : i == 2 ? 0x0000FF : 0x808080;
        f.insert(f.end(), {static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
    f.insert(f.end(), {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00});
    f.push_back(0x21);
    appendFrame(f, 10, 0, 5000, brokenFrame == 0);
    f.push_back(0x21);
    appendFrame(f, 20, 1, 9000, brokenFrame == 1);
    f.push_back(0x21);
    appendFrame(f, 30, 2, 12998, brokenFrame == 2);
    f.push_back(0x3B);
    return f;
}

std::vector<uint8_t> bytesOf(const std::vector<uint8_t>& f, size_t from, size_t to) {
    return std::vector<uint8_t>(f.begin() + static_cast<long>(from), f.begin() + static_cast<long>(to));
}

}  // namespace

TEST(GifSplitScan, FindsOnlyTheFullBoundaryPattern) {
    const std::vector<uint8_t> f = {0x00, 0x21, 0x00, 0x21, 0xF9, 0x21, 0xF9, 0x00, 0x21, 0xF9};
    EXPECT_EQ(anim::findBoundary(f, 0), 2u);
    EXPECT_EQ(anim::findBoundary(f, 3), 7u);
    EXPECT_EQ(anim::findBoundary(f, 8), anim::kNoBoundary);
    EXPECT_EQ(anim::findBoundary({0x00, 0x21}, 0), anim::kNoBoundary);
    EXPECT_EQ(anim::findBoundary(f, 100), anim::kNoBoundary);
}

TEST(GifSplitScan, WorkedExampleHasItsBoundariesWhereThePlanSays) {
    const auto f = workedExample();
    ASSERT_EQ(f.size(), 13000u);
    EXPECT_EQ(anim::findBoundary(f, 0), 799u);
    EXPECT_EQ(anim::findBoundary(f, 802), 5000u);
    EXPECT_EQ(anim::findBoundary(f, 5003), 9000u);
    EXPECT_EQ(anim::findBoundary(f, 9003), anim::kNoBoundary);
}

TEST(GifSplitScan, DelayComesFromChunkOffsetsThreeAndFourAndShortChunksFail) {
    const uint8_t chunk[12] = {0xF9, 4, 0, 0x34, 0x12, 0, 0, 0x2C, 0, 0, 0, 0};
    EXPECT_EQ(anim::chunkDelayMs(chunk, 12, 1), 0x1234 * 10);
    EXPECT_EQ(anim::chunkDelayMs(chunk, 5, 0), 0x1234 * 10);
    EXPECT_THROW(anim::chunkDelayMs(chunk, 4, 0), PlatformError);
    EXPECT_THROW(anim::chunkDelayMs(chunk, 11, 1), PlatformError);
}

using GifSplit = AnimFixture;

TEST_F(GifSplit, WorkedExampleStoresThreeFramesAndStartsTheAnimation) {
    const auto path = platform.dir.write("worked.gif", workedExample());
    form().LoadAniGif(path, form().AnimatedGIF);
    auto& frames = form().AnimatedGIF;
    ASSERT_EQ(frames.Count(), 3);
    EXPECT_EQ(frames(0).Tag, "100");
    EXPECT_EQ(frames(1).Tag, "200");
    EXPECT_EQ(frames(2).Tag, "300");
    EXPECT_FALSE(frames(1).Visible());
    EXPECT_EQ(form().lastFrame, 2);
    EXPECT_EQ(form().currentFrame, 0);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().AnimationTimer.Interval(), 100);
    EXPECT_EQ(shownFrame(), 0);
    EXPECT_EQ(paintedCentre(), kRed);
    EXPECT_EQ(form().backing().width, platform.screenW);
    // Each frame file decoded to its own frame, the last one without its terminator.
    Bitmap b;
    b.resize(2, 2, 0);
    frames(1).Picture()->stretchTo(b, 0, 0, 2, 2, 0);
    EXPECT_EQ(b.row(1)[1], kGreen);
    frames(2).Picture()->stretchTo(b, 0, 0, 2, 2, 0);
    EXPECT_EQ(b.row(1)[1], kBlue);
    EXPECT_FALSE(scratchExists());
    EXPECT_EQ(files::fileTable().openCount(), 0u);
}

// A frame the reader refuses stops the split with its frame file left behind, which shows
// exactly what was written for that frame.
TEST_F(GifSplit, WorkedExampleFrameFilesAreHeaderPrefixPlusChunk) {
    const size_t sizes[3] = {5002, 4801, 4797};
    const size_t chunkFrom[3] = {801, 5002, 9002}, chunkTo[3] = {5002, 9002, 12998};
    for (int broken = 0; broken < 3; ++broken) {
        SCOPED_TRACE(broken);
        const auto source = workedExample(broken);
        auto want = bytesOf(source, 0, 801);
        const auto chunk = bytesOf(source, chunkFrom[broken], chunkTo[broken]);
        want.insert(want.end(), chunk.begin(), chunk.end());
        const auto path = platform.dir.write("broken.gif", source);
        form().AnimationTimer.setEnabled(true);
        form().LoadAniGif(path, form().AnimatedGIF);
        ASSERT_TRUE(scratchExists());
        const auto written = readFile(scratch());
        EXPECT_EQ(written.size(), sizes[broken]);
        EXPECT_EQ(written, want);
        // Frames before the broken one stay, the broken one's element exists without a picture.
        EXPECT_EQ(form().AnimatedGIF.Count(), broken + 1);
        EXPECT_FALSE(form().AnimatedGIF(broken).Picture());
        EXPECT_FALSE(form().AnimationTimer.Enabled());
        EXPECT_FALSE(form().Picture1.Picture());
        EXPECT_EQ(form().lastFrame, 0);
        EXPECT_EQ(files::fileTable().openCount(), 0u);
        fs::remove(scratch());
    }
}

TEST_F(GifSplit, FileWithoutBoundaryIsOneFrameTaggedFromTheVersionAndShownStill) {
    GifSpec spec;
    spec.width = 4;
    spec.height = 4;
    spec.version = "89a";
    spec.loopExtension = false;
    spec.globalPalette = basicPalette();
    spec.frames.push_back(solidFrame(4, 4, 1, 0));
    spec.frames[0].control = false;
    const auto path = platform.dir.write("still.gif", writeGif(spec));
    form().AnimationTimer.setEnabled(true);
    form().LoadAniGif(path, form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 1);
    EXPECT_EQ(form().AnimatedGIF(0).Tag, "248890");
    EXPECT_EQ(form().AnimationTimer.Interval(), 1000);  // refused, unchanged
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().lastFrame, 0);
    EXPECT_TRUE(host().shown);
    EXPECT_EQ(shownFrame(), 0);
    EXPECT_EQ(paintedCentre(), kGreen);
    EXPECT_FALSE(scratchExists());
}

TEST_F(GifSplit, TwoFramesAreShownStillWithTheTimerOff) {
    form().AnimationTimer.setEnabled(true);
    form().LoadAniGif(solidGif("two.gif", {10, 20}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 2);
    EXPECT_EQ(form().lastFrame, 1);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().AnimationTimer.Interval(), 100);
    EXPECT_TRUE(host().shown);
    EXPECT_EQ(shownFrame(), 0);
    platform.advance(5000);
    EXPECT_EQ(shownFrame(), 0);
}

TEST_F(GifSplit, ThreeFramesGetTheirDelaysAsMillisecondTags) {
    form().LoadAniGif(solidGif("three.gif", {10, 20, 30}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF(0).Tag, "100");
    EXPECT_EQ(form().AnimatedGIF(1).Tag, "200");
    EXPECT_EQ(form().AnimatedGIF(2).Tag, "300");
    EXPECT_EQ(form().AnimationTimer.Interval(), 100);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    EXPECT_FALSE(host().shown);  // the caller shows the window for an animation
}

TEST_F(GifSplit, FirstDelayTooLongForTheTimerKeepsTheIntervalAndStillAnimates) {
    form().LoadAniGif(solidGif("slow.gif", {3300, 20, 30}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF(0).Tag, "33000");
    EXPECT_EQ(form().AnimationTimer.Interval(), 1000);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    EXPECT_EQ(shownFrame(), 0);
}

TEST_F(GifSplit, TextFileNamedGifFailsAndLeavesItsFrameFile) {
    const std::string text = "Not a picture, just a note about pictures.\n";
    const auto path = platform.dir.write("x.gif", text);
    form().LoadAniGif(path, form().AnimatedGIF);
    EXPECT_FALSE(form().Picture1.Picture());
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    ASSERT_TRUE(scratchExists());
    EXPECT_EQ(readFile(scratch()), std::vector<uint8_t>(text.begin(), text.end() - 2));
    EXPECT_EQ(files::fileTable().openCount(), 0u);
}

TEST_F(GifSplit, StaleLongerScratchFileDoesNotBreakTheSplit) {
    platform.dir.write("tmp.gif", std::vector<uint8_t>(50000, 0x3B));
    form().LoadAniGif(solidGif("three.gif", {10, 20, 30}), form().AnimatedGIF);
    ASSERT_EQ(form().AnimatedGIF.Count(), 3);
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(form().AnimatedGIF(k).Picture()) << k;
    EXPECT_EQ(paintedCentre(), kRed);
    EXPECT_FALSE(scratchExists());
}

TEST_F(GifSplit, SecondSplitReplacesTheFramesOfTheFirst) {
    form().LoadAniGif(solidGif("four.gif", {10, 10, 10, 10}), form().AnimatedGIF);
    ASSERT_EQ(form().AnimatedGIF.Count(), 4);
    form().LoadAniGif(solidGif("two.gif", {50, 60}), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 2);
    EXPECT_EQ(form().AnimatedGIF(1).Tag, "600");
    EXPECT_EQ(form().lastFrame, 1);
}

TEST_F(GifSplit, MissingFileOrEmptyPathOnlyEmptiesElementZero) {
    form().LoadAniGif(solidGif("three.gif", {10, 20, 30}), form().AnimatedGIF);
    ASSERT_TRUE(form().AnimationTimer.Enabled());
    form().LoadAniGif(platform.dir.file("gone.gif"), form().AnimatedGIF);
    EXPECT_FALSE(form().AnimatedGIF(0).Picture());
    EXPECT_EQ(form().AnimatedGIF.Count(), 3);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    form().LoadAniGif("", form().AnimatedGIF);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    EXPECT_EQ(form().lastFrame, 2);
}

TEST_F(GifSplit, ChunkTooShortStopsTheSplit) {
    const std::vector<uint8_t> f = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x21, 0xF9, 0x00, 0x21, 0xF9, 1, 2, 3, 4, 5, 6, 7, 8};
    form().LoadAniGif(platform.dir.write("short.gif", f), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 1);
    EXPECT_FALSE(form().Picture1.Picture());
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_EQ(readFile(scratch()).size(), 8u + 3u);  // written before the length was checked
}

TEST_F(GifSplit, FileTooShortForAFrameShowsTheEmptyPictureAndReportsThePaintFailure) {
    form().AnimatedGIF(0).Tag = "kept";
    EXPECT_THROW(form().LoadAniGif(platform.dir.write("tiny.gif", std::string("GIF")), form().AnimatedGIF), PlatformError);
    EXPECT_EQ(form().AnimatedGIF(0).Tag, "kept");
    EXPECT_EQ(form().lastFrame, 0);
    EXPECT_TRUE(host().shown);
    EXPECT_FALSE(form().AnimationTimer.Enabled());
}

// Input handled while the split processes pending events ends the show: the split stops and
// nothing touches the window again.
TEST_F(GifSplit, InputArrivingMidSplitEndsTheShowHarmlessly) {
    platform.cursorCount = -1;
    int events = 0;
    platform.onDoEvents = [&] {
        if (++events == 2) {
            platform.showCursor(true);
            form().Unload();
        }
    };
    form().LoadAniGif(solidGif("five.gif", {10, 10, 10, 10, 10}), form().AnimatedGIF);
    EXPECT_FALSE(form().Loaded());
    EXPECT_FALSE(form().Visible());
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_FALSE(form().Picture1.Picture());
    EXPECT_GE(platform.cursorCount, 0);
    EXPECT_EQ(form().AnimatedGIF.Count(), 2);  // no frame stored after the show ended
    EXPECT_FALSE(scratchExists());
    platform.advance(10000);
    EXPECT_FALSE(form().Loaded());
}

TEST_F(GifSplit, ScratchFileGoesToTheUserDirectoryWhenTheCurrentOneIsNotWritable) {
    EXPECT_EQ(scratchGifPath(platform), "tmp.gif");
    EXPECT_FALSE(scratchExists());  // the probe leaves nothing behind
    // A current directory that no longer exists cannot take a file, even for root.
    const auto gone = platform.dir.path() / "gone";
    fs::create_directory(gone);
    const auto gif = solidGif("three.gif", {10, 20, 30});
    fs::current_path(gone);
    fs::remove(gone);
    const auto chosen = fs::path(scratchGifPath(platform));
    EXPECT_EQ(chosen, fs::path(platform.userScratchDirectory()) / "tmp.gif");
    form().LoadAniGif(gif, form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 3);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
    EXPECT_FALSE(fs::exists(chosen));
}
