#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "platform/error.h"
#include "platform/picture/gif/gif_format.h"
#include "platform/picture/gif/gif_lzw.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/picture/gif/index_cache.h"
#include "platform/picture/load_picture.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"

using namespace mv;
using namespace mv::test;

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu, kWhite = 0xFFFFFFFFu;
constexpr int32_t kBack = 0x00336699;  // 0x00BBGGRR
const uint32_t kBackPixel = colorToPixel(kBack);

std::shared_ptr<const GifPicture> decode(const std::vector<uint8_t>& bytes) {
    return std::dynamic_pointer_cast<const GifPicture>(decodeGifPicture(bytes));
}

// Paints the picture 1:1 onto a bitmap of its own size.
Bitmap paint(const Picture& p, int32_t back = kBack) {
    Bitmap b;
    b.resize(p.width(), p.height(), 0);
    p.stretchTo(b, 0, 0, p.width(), p.height(), back);
    return b;
}

GifPlan patternGif(int w, int h, bool interlaced = false) {
    GifPlan plan;
    plan.width = w;
    plan.height = h;
    plan.globalPalette = basicPalette();
    GifFramePlan f = solidFrame(w, h, 0, 10);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) f.indices[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>((x + 3 * y) % 4);
    f.interlaced = interlaced;
    plan.frames.push_back(f);
    return plan;
}

uint32_t expectedPattern(int x, int y) {
    static const uint32_t colours[4] = {kRed, kGreen, kBlue, kWhite};
    return colours[(x + 3 * y) % 4];
}

}  // namespace

TEST(GifLzw, RoundTripsThroughTableResetsAndRepeatedStrings) {
    std::mt19937 rng(7);
    // Random bytes fill the 4096-entry table many times over; runs exercise the code that
    // refers to the string being defined.
    std::vector<uint8_t> data(200000);
    for (size_t i = 0; i < data.size(); ++i) data[i] = (i / 5000) % 2 ? 42 : static_cast<uint8_t>(rng());
    const auto encoded = lzwEncode(data.data(), data.size(), 8);
    std::vector<uint8_t> out(data.size(), 0xEE);
    EXPECT_EQ(gif::lzwDecode(encoded.data(), encoded.size(), 8, out.data(), out.size()), data.size());
    EXPECT_EQ(out, data);
}

TEST(GifLzw, StopsAtTheEndOfTheOutputAndOnImpossibleCodes) {
    std::vector<uint8_t> data(1000, 3);
    const auto encoded = lzwEncode(data.data(), data.size(), 2);
    std::vector<uint8_t> small(100, 0);
    EXPECT_EQ(gif::lzwDecode(encoded.data(), encoded.size(), 2, small.data(), small.size()), 100u);
    EXPECT_EQ(small, std::vector<uint8_t>(100, 3));
    // A stream that ends before the output does leaves the rest of the output as it was, also
    // right behind long strings.
    std::vector<uint8_t> runs(3000);
    for (size_t i = 0; i < runs.size(); ++i) runs[i] = static_cast<uint8_t>(i / 37 % 3);
    const auto runsEncoded = lzwEncode(runs.data(), runs.size(), 2);
    std::vector<uint8_t> roomy(runs.size() + 100, 0xEE);
    EXPECT_EQ(gif::lzwDecode(runsEncoded.data(), runsEncoded.size(), 2, roomy.data(), roomy.size()), runs.size());
    EXPECT_TRUE(std::equal(runs.begin(), runs.end(), roomy.begin()));
    EXPECT_EQ(std::vector<uint8_t>(roomy.begin() + static_cast<long>(runs.size()), roomy.end()), std::vector<uint8_t>(100, 0xEE));
    // Code 7 right after the clear code names a string that does not exist yet.
    const uint8_t bad[] = {0x3C, 0x00};  // 3-bit codes: 4 (clear), 7
    std::vector<uint8_t> out(10, 9);
    EXPECT_EQ(gif::lzwDecode(bad, sizeof bad, 2, out.data(), out.size()), 0u);
    EXPECT_EQ(out, std::vector<uint8_t>(10, 9));
}

TEST(GifReader, DecodesColoursFromTheGlobalAndTheLocalTable) {
    auto plan = patternGif(7, 5);
    auto pic = decode(writeGif(plan));
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->width(), 7);
    EXPECT_EQ(pic->height(), 5);
    const Bitmap b = paint(*pic);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(b.row(y)[x], expectedPattern(x, y)) << x << "," << y;

    plan.frames[0].localPalette = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};  // red and blue swapped
    const Bitmap local = paint(*decode(writeGif(plan)));
    EXPECT_EQ(local.row(0)[0], kBlue);
    EXPECT_EQ(local.row(0)[2], kRed);
}

TEST(GifReader, DeinterlacesRows) {
    const Bitmap b = paint(*decode(writeGif(patternGif(5, 19, true))));
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 5; ++x) ASSERT_EQ(b.row(y)[x], expectedPattern(x, y)) << x << "," << y;
}

TEST(GifReader, ToleratesAMissingTrailerAndAMissingLastTerminator) {
    auto bytes = writeGif(patternGif(9, 9));
    ASSERT_EQ(bytes.back(), 0x3B);
    const Bitmap whole = paint(*decode(bytes));
    bytes.pop_back();  // no trailer
    EXPECT_EQ(paint(*decode(bytes)).pixels, whole.pixels);
    bytes.pop_back();  // nor the data terminator
    EXPECT_EQ(paint(*decode(bytes)).pixels, whole.pixels);
    bytes.push_back(0x00);  // terminator followed by the next frame's introducer, as split frames end
    bytes.push_back(0x21);
    EXPECT_EQ(paint(*decode(bytes)).pixels, whole.pixels);
}

TEST(GifReader, ImageCutShortKeepsWhatWasDecodedAndShowsBackgroundForTheRest) {
    GifPlan plan;
    plan.width = 64;
    plan.height = 64;
    plan.globalPalette = basicPalette();
    GifFramePlan f = solidFrame(64, 64, 0, 0);
    std::mt19937 rng(3);
    for (auto& i : f.indices) i = static_cast<uint8_t>(rng() % 3);  // incompressible-ish
    f.transparent = 4;
    plan.frames.push_back(f);
    auto bytes = writeGif(plan);
    bytes.resize(bytes.size() / 2);
    const Bitmap b = paint(*decode(bytes));
    EXPECT_NE(b.row(0)[0], kBackPixel);        // the top rows came through
    EXPECT_EQ(b.row(63)[63], kBackPixel);      // the missing bottom shows the background
}

TEST(GifReader, PartialFrameSitsAtItsOffsetOnTheLogicalScreen) {
    GifPlan plan;
    plan.width = 10;
    plan.height = 8;
    plan.globalPalette = basicPalette();
    GifFramePlan f = solidFrame(3, 2, 1, 0);  // green
    f.left = 4;
    f.top = 5;
    plan.frames.push_back(f);
    auto pic = decode(writeGif(plan));
    EXPECT_EQ(pic->width(), 10);
    EXPECT_EQ(pic->height(), 8);
    const Bitmap b = paint(*pic);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 5 && y < 7;
            ASSERT_EQ(b.row(y)[x], inside ? kGreen : kBackPixel) << x << "," << y;
        }
    // Stretched by 3 the image keeps its place, screen columns 12..20 and rows 15..20, with its
    // edges blended into the background.
    Bitmap big;
    big.resize(30, 24, 0);
    pic->stretchTo(big, 0, 0, 30, 24, kBack);
    EXPECT_EQ(big.row(16)[14], kGreen);
    EXPECT_EQ(big.row(18)[19], kGreen);
    EXPECT_EQ(big.row(13)[12], kBackPixel);
    EXPECT_EQ(big.row(16)[23], kBackPixel);
    EXPECT_NE(big.row(16)[12], kGreen);
    EXPECT_NE(big.row(16)[12], kBackPixel);
}

TEST(GifReader, ImageReachingPastTheScreenIsClipped) {
    GifPlan plan;
    plan.width = 4;
    plan.height = 4;
    plan.globalPalette = basicPalette();
    GifFramePlan f = solidFrame(6, 6, 2, 0);
    f.left = 2;
    f.top = 2;
    plan.frames.push_back(f);
    const Bitmap b = paint(*decode(writeGif(plan)));
    EXPECT_EQ(b.row(3)[3], kBlue);
    EXPECT_EQ(b.row(1)[1], kBackPixel);
}

TEST(GifReader, TransparentIndexShowsTheBackgroundColour) {
    GifPlan plan = patternGif(4, 4);
    plan.frames[0].transparent = 1;  // green
    auto pic = decode(writeGif(plan));
    const Bitmap b = paint(*pic);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint32_t want = expectedPattern(x, y) == kGreen ? kBackPixel : expectedPattern(x, y);
            ASSERT_EQ(b.row(y)[x], want);
        }
    EXPECT_EQ(paint(*pic, 0x00FFFFFF).row(0)[1], kWhite);  // another background, another colour
}

TEST(GifReader, StretchKeepsTheCornersAndClipsToTheTarget) {
    auto pic = decode(writeGif(patternGif(2, 2)));
    Bitmap b;
    b.resize(5, 3, 0);
    pic->stretchTo(b, 0, 0, 5, 3, kBack);
    EXPECT_EQ(b.row(0)[0], expectedPattern(0, 0));
    EXPECT_EQ(b.row(0)[4], expectedPattern(1, 0));
    EXPECT_EQ(b.row(2)[0], expectedPattern(0, 1));
    EXPECT_EQ(b.row(2)[4], expectedPattern(1, 1));
    Bitmap clipped;
    clipped.resize(3, 3, 0);
    pic->stretchTo(clipped, -2, -2, 4, 4, kBack);  // only the bottom-right quarter lands
    EXPECT_EQ(clipped.row(1)[1], expectedPattern(1, 1));
    EXPECT_EQ(clipped.row(1)[2], 0u);
    EXPECT_EQ(clipped.row(2)[2], 0u);
}

TEST(GifReader, RefusesFilesWithoutAnImageAndAbsurdSizes) {
    auto expectInvalid = [](const std::vector<uint8_t>& bytes) {
        try {
            decodeGifPicture(bytes);
            ADD_FAILURE() << "decoded";
        } catch (const PlatformError& e) {
            EXPECT_EQ(e.number(), ErrInvalidPicture);
        }
    };
    auto plan = patternGif(4, 4);
    auto good = writeGif(plan);
    expectInvalid({});
    expectInvalid(std::vector<uint8_t>(good.begin(), good.begin() + 13 + 48));  // header and table only
    plan.frames.clear();
    expectInvalid(writeGif(plan));
    std::string text = "GIF89a but really a letter to a friend";
    expectInvalid(std::vector<uint8_t>(text.begin(), text.end()));

    auto huge = good;
    huge[6] = huge[7] = huge[8] = huge[9] = 0xFF;  // 65535 x 65535 screen
    expectInvalid(huge);
    auto tooMany = good;
    tooMany[6] = 0x30; tooMany[7] = 0x75; tooMany[8] = 0x30; tooMany[9] = 0x75;  // 30000 x 30000
    expectInvalid(tooMany);
    // A small screen with an image descriptor asking for 65535 x 65535.
    auto bigImage = good;
    const size_t descriptor = 13 + 48 + 19 + 8;
    ASSERT_EQ(bigImage[descriptor], 0x2C);
    for (int i = 5; i < 9; ++i) bigImage[descriptor + i] = 0xFF;
    expectInvalid(bigImage);
}

TEST(GifReader, KeepsFramesCompressedAndDecodesThemAgainWhenPainted) {
    GifPlan plan = patternGif(640, 480);
    auto pic = decode(writeGif(plan));
    EXPECT_LT(pic->storedBytes(), 640u * 480u / 4);  // far below 4 bytes a pixel
    auto& cache = gif::indexCache();
    // Many big frames never push the cache past its budget; each still paints correctly.
    std::vector<std::shared_ptr<const GifPicture>> frames;
    const size_t many = cache.budget() / (640u * 480u) + 20;
    for (size_t i = 0; i < many; ++i) frames.push_back(decode(writeGif(plan)));
    EXPECT_LE(cache.bytes(), cache.budget() + 640u * 480u);
    EXPECT_LT(cache.entries(), many);
    const Bitmap b = paint(*frames.front());
    EXPECT_EQ(b.row(479)[639], expectedPattern(639, 479));
    frames.clear();
    pic.reset();
    EXPECT_EQ(cache.bytes(), 0u);
}

// A frame being decoded on the prefetch thread while the cache is cleared (its file changed,
// memory ran short) is handed to its caller but not kept, so the next paint reads the file anew.
TEST(GifReader, ABufferMadeAcrossAClearIsNotKept) {
    gif::IndexCache cache(1024);
    int owner = 0, made = 0;
    const auto across = [&] { ++made; cache.clear(); return std::vector<uint8_t>(16, 7); };
    EXPECT_EQ(cache.get<uint8_t>(&owner, across)->size(), 16u);
    EXPECT_EQ(cache.entries(), 0u);
    const auto plain = [&] { ++made; return std::vector<uint8_t>(16, 7); };
    cache.get<uint8_t>(&owner, plain);
    cache.get<uint8_t>(&owner, plain);
    EXPECT_EQ(made, 2);
}

TEST(GifReader, LoadPictureRoutesGifContentToTheGifReader) {
    FakePlatform platform;
    const auto path = platform.dir.write("picture.bmp", writeGif(patternGif(3, 3)));  // name does not matter
    auto pic = LoadPicture(platform, path);
    EXPECT_TRUE(std::dynamic_pointer_cast<const GifPicture>(pic));
    EXPECT_EQ(pic->width(), 3);
}

// Random damage to valid files never crashes the reader or the painter, and whatever it
// accepts stays within the size guards.
TEST(GifReader, SurvivesMutatedInput) {
    std::vector<std::vector<uint8_t>> seeds = {writeGif(patternGif(23, 17)), writeGif(patternGif(16, 33, true))};
    GifPlan partial = patternGif(8, 8);
    partial.frames[0].left = 3;
    partial.frames[0].transparent = 2;
    partial.frames[0].localPalette = {0x112233, 0x445566};
    seeds.push_back(writeGif(partial));
    std::mt19937 rng(12345);
    int accepted = 0;
    for (int round = 0; round < 3000; ++round) {
        auto bytes = seeds[round % seeds.size()];
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % bytes.size();
            switch (rng() % 4) {
                case 0: bytes[at] = static_cast<uint8_t>(rng()); break;
                case 1: bytes[at] ^= static_cast<uint8_t>(1u << (rng() % 8)); break;
                case 2: bytes.resize(std::max<size_t>(at, 1)); break;
                default: bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(rng())); break;
            }
        }
        try {
            auto pic = decodeGifPicture(bytes);
            ++accepted;
            ASSERT_LE(static_cast<int64_t>(pic->width()) * pic->height(), kMaxPicturePixels);
            Bitmap b;
            b.resize(40, 30, 0);
            pic->stretchTo(b, -3, 2, 47, 29, kBack);
        } catch (const PlatformError& e) {
            ASSERT_EQ(e.number(), ErrInvalidPicture);
        }
    }
    EXPECT_GT(accepted, 100);  // the mutations reach the decoder, not only the header checks
}
