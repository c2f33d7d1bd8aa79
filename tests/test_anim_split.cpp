#include <gtest/gtest.h>

#include <filesystem>

#include "anim/frame_ranges.h"
#include "anim/gif_split.h"
#include "anim/scratch_file.h"
#include "platform/error.h"
#include "platform/files/files.h"
#include "platform/files/held_file.h"
#include "platform/picture/gif/composed_picture.h"
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

anim::SourceBytes source(const std::vector<uint8_t>& bytes, size_t block = 4) {
    anim::SourceBytes s(block);
    s.assign(bytes);
    return s;
}

}  // namespace

TEST(GifSplitScan, FindsTheBoundaryPatternAcrossBlockEdges) {
    // Boundaries at 2 and 12; the second straddles the 4-byte blocks. The pattern at 7 lacks
    // the extension's block size, the one at 20 its terminator.
    const std::vector<uint8_t> f = {0x00, 0x21, 0x00, 0x21, 0xF9, 0x04, 1, 2, 3, 4, 0x00, 0xAA,
                                    0x00, 0x21, 0xF9, 0x04, 1, 2, 3, 4, 0x00, 0x21, 0xF9, 0x04, 1, 2, 3, 4, 5};
    for (size_t block : {size_t{4}, size_t{5}, size_t{1000}}) {
        const auto s = source(f, block);
        EXPECT_EQ(s.findBoundary(0), 2u) << block;
        EXPECT_EQ(s.findBoundary(3), 12u) << block;
        EXPECT_EQ(s.findBoundary(13), anim::kNoBoundary) << block;
        EXPECT_EQ(s.findBoundary(100), anim::kNoBoundary) << block;
    }
    const auto noBlockSize = source({0x00, 0x21, 0xF9, 0x00, 0x21, 0xF9, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(noBlockSize.findBoundary(0), anim::kNoBoundary);
    // At the very end of the file the bytes that are not there are not asked for.
    EXPECT_EQ(source({7, 0x00, 0x21, 0xF9}).findBoundary(0), 1u);
    EXPECT_EQ(source({0x00, 0x21}).findBoundary(0), anim::kNoBoundary);
}

// A file is read a few blocks at a time, whatever its size, and bytes behind can be read again.
TEST(GifSplitScan, AFileIsReadAFewBlocksAtATime) {
    FakePlatform platform;
    std::vector<uint8_t> data(40, 1);
    data[33] = 0x00, data[34] = 0x21, data[35] = 0xF9, data[36] = 0x04;
    const auto path = platform.dir.write("blocks.gif", data);
    auto& table = files::fileTable();
    const int n = table.freeFile();
    table.open(n, path, files::Mode::ReadOnly);
    anim::SourceBytes s(4);
    s.attach(table, n, data.size());
    EXPECT_EQ(s.findBoundary(0, 20), anim::kNoBoundary);  // a search that stops short
    EXPECT_EQ(s.findBoundary(20), 33u);
    EXPECT_LE(s.residentBlocks(), anim::SourceBytes::kResidentBlocks);
    EXPECT_EQ(s.copy(9, 20), std::vector<uint8_t>(11, 1));
    table.close(n);
}

TEST(GifSplitScan, WorkedExampleCutsIntoTheHeaderPrefixAndThreeChunks) {
    const auto f = source(workedExample(), anim::SourceBytes::kDefaultBlock);
    ASSERT_EQ(f.size(), 13000u);
    anim::FrameRanges ranges(f);
    EXPECT_EQ(ranges.prefixLength(), 801u);
    EXPECT_EQ(ranges.next(), (anim::Chunk{801, 5002}));
    EXPECT_EQ(ranges.next(), (anim::Chunk{5002, 9002}));
    EXPECT_FALSE(ranges.next());
    EXPECT_TRUE(ranges.done());
    EXPECT_EQ(ranges.last(), (anim::Chunk{9002, 12998}));
}

// A long search without boundaries hands control back between slices, and can be stopped.
TEST(GifSplitScan, ALongSearchCanBeStoppedBetweenSlices) {
    const auto zeros = source(std::vector<uint8_t>(size_t{20} << 20, 0), anim::SourceBytes::kDefaultBlock);
    anim::FrameRanges ranges(zeros);
    int calls = 0;
    EXPECT_FALSE(ranges.next([&] { return ++calls < 2; }));
    EXPECT_TRUE(ranges.stopped());
    EXPECT_EQ(calls, 2);
    EXPECT_FALSE(ranges.done());
}

TEST(GifSplitScan, DelayComesFromChunkOffsetsThreeAndFourAndShortChunksFail) {
    const auto chunk = source({0xF9, 4, 0, 0x34, 0x12, 0, 0, 0x2C, 0, 0, 0, 0});
    EXPECT_EQ(anim::chunkDelayMs(chunk, 0, 12, 1), 0x1234 * 10);
    EXPECT_EQ(anim::chunkDelayMs(chunk, 0, 5, 0), 0x1234 * 10);
    EXPECT_THROW(anim::chunkDelayMs(chunk, 0, 4, 0), PlatformError);
    EXPECT_THROW(anim::chunkDelayMs(chunk, 0, 11, 1), PlatformError);
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

// Each frame file is the header prefix plus the frame's chunk: what each element holds decodes
// exactly as those bytes do.
TEST_F(GifSplit, WorkedExampleFrameFilesAreHeaderPrefixPlusChunk) {
    const auto source = workedExample();
    form().LoadAniGif(platform.dir.write("worked.gif", source), form().AnimatedGIF);
    ASSERT_EQ(form().AnimatedGIF.Count(), 3);
    const size_t chunkFrom[3] = {801, 5002, 9002}, chunkTo[3] = {5002, 9002, 12998};
    for (int k = 0; k < 3; ++k) {
        auto want = bytesOf(source, 0, 801);
        const auto chunk = bytesOf(source, chunkFrom[k], chunkTo[k]);
        want.insert(want.end(), chunk.begin(), chunk.end());
        const auto expected = gif::parseGif(want.data(), want.size());
        auto composed = std::dynamic_pointer_cast<const ComposedGifPicture>(form().AnimatedGIF(k).Picture());
        ASSERT_TRUE(composed) << k;
        EXPECT_EQ(*composed->frame().image().palette, *expected.palette) << k;
        // The compressed data stays in the GIF file, read from there when the frame is decoded.
        EXPECT_TRUE(composed->frame().dataInFile()) << k;
        gif::indexCache().clear();
        EXPECT_EQ(*composed->frame().indices(), *GifPicture(expected).indices()) << k;
    }
}

// With the frames' data left in the file, a file that changes or goes while the show runs
// fails the tick that needs it: the timer stops and the screen keeps its picture.
TEST_F(GifSplit, APictureFileChangedDuringTheShowStopsTheAnimation) {
    for (bool remove : {false, true}) {
        SCOPED_TRACE(remove);
        const auto path = solidGif("changing.gif", {10, 10, 10, 10}, 64, 48);
        form().LoadAniGif(path, form().AnimatedGIF);
        ASSERT_TRUE(form().AnimationTimer.Enabled());
        platform.advance(100);
        const uint32_t shown = paintedCentre();
        // Windows keeps a removed file readable while another handle is open on it.
        form().stopDecodingAhead();
        if (remove) {
            fs::remove(path);
        } else {
            auto bytes = readFile(path);
            for (size_t i = bytes.size() / 2; i < bytes.size() - 2; ++i) bytes[i] ^= 0x5A;
            platform.dir.write("changing.gif", bytes);
        }
        gif::indexCache().clear();  // as when a long animation has pushed the frame out
        platform.advance(100);
        EXPECT_FALSE(form().AnimationTimer.Enabled());
        EXPECT_EQ(paintedCentre(), shown);
    }
}

// A frame the reader refuses stops the split; the frames before stay, and no frame file is
// left in the user's folder.
TEST_F(GifSplit, RefusedFrameStopsTheSplitAndLeavesNoFrameFile) {
    for (int broken = 0; broken < 3; ++broken) {
        SCOPED_TRACE(broken);
        const auto path = platform.dir.write("broken.gif", workedExample(broken));
        form().AnimationTimer.setEnabled(true);
        form().LoadAniGif(path, form().AnimatedGIF);
        EXPECT_FALSE(scratchExists());
        // Frames before the broken one stay, the broken one's element exists without a picture.
        EXPECT_EQ(form().AnimatedGIF.Count(), broken + 1);
        EXPECT_FALSE(form().AnimatedGIF(broken).Picture());
        EXPECT_FALSE(form().AnimationTimer.Enabled());
        EXPECT_FALSE(form().Picture1.Picture());
        EXPECT_EQ(form().lastFrame, 0);
        EXPECT_EQ(files::fileTable().openCount(), 0u);
    }
}

TEST_F(GifSplit, FileWithoutBoundaryIsOneFrameTaggedFromTheVersionAndShownStill) {
    GifPlan plan;
    plan.width = 4;
    plan.height = 4;
    plan.version = "89a";
    plan.loopExtension = false;
    plan.globalPalette = basicPalette();
    plan.frames.push_back(solidFrame(4, 4, 1, 0));
    plan.frames[0].control = false;
    const auto path = platform.dir.write("still.gif", writeGif(plan));
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

TEST_F(GifSplit, TextFileNamedGifFailsAndLeavesNoFrameFile) {
    const std::string text = "Not a picture, just a note about pictures.\n";
    const auto path = platform.dir.write("x.gif", text);
    form().LoadAniGif(path, form().AnimatedGIF);
    EXPECT_FALSE(form().Picture1.Picture());
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_FALSE(scratchExists());
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
    // Frame 0 of 2 bytes.
    const std::vector<uint8_t> tiny = {'G', 'I', 'F', '8', '9', 'a', 0x00, 0x21, 0xF9, 0x04, 0xAA, 0xBB};
    form().LoadAniGif(platform.dir.write("short.gif", tiny), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 1);
    EXPECT_FALSE(form().AnimatedGIF(0).Picture());
    EXPECT_FALSE(scratchExists());

    // A good frame 0, then a frame 1 of 10 bytes: frame 0 stays, no element 1 is made.
    GifPlan plan;
    plan.width = plan.height = 4;
    plan.globalPalette = basicPalette();
    plan.frames.push_back(solidFrame(4, 4, 2, 10));
    plan.trailer = false;
    auto f = writeGif(plan);
    f.insert(f.end(), {0x21, 0xF9, 0x04, 0x05, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x01, 0x02, 0x00, 0x3B});
    form().AnimationTimer.setEnabled(true);
    form().LoadAniGif(platform.dir.write("short2.gif", f), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 1);
    EXPECT_TRUE(form().AnimatedGIF(0).Picture());
    EXPECT_FALSE(form().Picture1.Picture());
    EXPECT_FALSE(form().AnimationTimer.Enabled());
    EXPECT_FALSE(scratchExists());
    EXPECT_EQ(files::fileTable().openCount(), 0u);
}

TEST_F(GifSplit, BoundaryBytesInsideImageDataDoNotCutAFrame) {
    // Frame 1's data holds 00 21 F9 followed by other bytes than an extension's.
    auto f = workedExample();
    const size_t at = 6000;
    ASSERT_EQ(f[at], 0x55);  // padding inside frame 1's data sub-blocks
    const uint8_t stray[] = {0x00, 0x21, 0xF9, 0x10, 0x20, 0x30};
    std::copy(stray, stray + sizeof stray, f.begin() + at);
    form().LoadAniGif(platform.dir.write("stray.gif", f), form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 3);
    EXPECT_EQ(form().AnimatedGIF(2).Tag, "300");
    EXPECT_TRUE(form().AnimationTimer.Enabled());
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

#ifndef _WIN32
// An installed program's folder belongs to the package manager, even when root owns it and runs
// the show there: the frame file goes to the private folder, so that a kill -9 mid-split leaves
// nothing that removing the package would leave behind.
TEST_F(GifSplit, TheSystemsFoldersNeverTakeTheScratchFile) {
    for (const char* folder : {"/usr/bin", "/bin", "/usr/lib", "/"}) EXPECT_TRUE(files::folderIsSystems(folder)) << folder;
    for (const std::string& folder : {platform.dir.path().string(), std::string("/tmp")})
        EXPECT_FALSE(files::folderIsSystems(folder)) << folder;
    fs::current_path("/usr/bin");
    files::HeldFile f;
    holdScratchGif(platform, f);
    EXPECT_EQ(fs::path(f.path()).parent_path(), fs::path(platform.userScratchDirectory()));
}
#endif

// The scratch file stays "tmp.gif" in the program's folder while that is safe; a file another
// show holds, a folder others may write to, a planted link or a folder that takes no file send
// it to the user's private folder, and a victim behind a link is never written.
TEST_F(GifSplit, ScratchFileIsHeldWhereNoOneElseCanReachIt) {
    const auto privateTmp = fs::path(platform.userScratchDirectory()) / "tmp.gif";
    auto holdAndCheck = [&](const fs::path& where) {
        files::HeldFile f;
        holdScratchGif(platform, f);
        EXPECT_EQ(fs::absolute(f.path()), fs::absolute(where));
        f.release();
        EXPECT_FALSE(fs::exists(where));
    };
    holdAndCheck(platform.dir.path() / "tmp.gif");
    {
        files::HeldFile other;  // another show holding both names
        ASSERT_TRUE(other.tryHold("tmp.gif"));
        holdAndCheck(privateTmp);
        files::HeldFile otherPrivate;
        ASSERT_TRUE(otherPrivate.tryHold(privateTmp.string()));
        files::HeldFile f;
        holdScratchGif(platform, f);
        EXPECT_NE(fs::path(f.path()).filename(), "tmp.gif");
        EXPECT_EQ(fs::path(f.path()).parent_path(), privateTmp.parent_path());
    }
#ifdef _WIN32
    GTEST_SKIP() << "links, folder modes and removing the current folder are POSIX cases";
#else
    const auto victim = platform.dir.write("victim.txt", std::string("precious"));
    fs::create_symlink(victim, "tmp.gif");
    const auto gif = solidGif("three.gif", {10, 20, 30});
    form().LoadAniGif(gif, form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 3);
    EXPECT_EQ(readFile(victim), std::vector<uint8_t>({'p', 'r', 'e', 'c', 'i', 'o', 'u', 's'}));
    EXPECT_TRUE(fs::is_symlink("tmp.gif"));
    fs::remove("tmp.gif");

    fs::permissions(platform.dir.path(), fs::perms::all);  // others may write here
    holdAndCheck(privateTmp);
    fs::permissions(platform.dir.path(), fs::perms::owner_all);

    // A current folder that no longer exists cannot take a file, even for root.
    const auto gone = platform.dir.path() / "gone";
    fs::create_directory(gone);
    fs::current_path(gone);
    fs::remove(gone);
    holdAndCheck(privateTmp);
    form().LoadAniGif(gif, form().AnimatedGIF);
    EXPECT_EQ(form().AnimatedGIF.Count(), 3);
    EXPECT_TRUE(form().AnimationTimer.Enabled());
#endif
}
