// Animated PNGs made here chunk by chunk, each frame's data deflated by the test PNG writer,
// and one written by apngasm.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <tuple>
#include <iterator>
#include <memory_resource>
#include <new>
#include <string>

#include "platform/error.h"
#include "platform/picture/apng_frames.h"
#include "support/capped_memory.h"
#include "support/png_writer.h"

namespace mv {
namespace {

#include "apng_samples.inc"

using Bytes = std::vector<uint8_t>;

struct Chunk {
    std::string type;
    Bytes data;
};

void put(Bytes& out, uint32_t v, int bytes) {
    for (int s = 8 * (bytes - 1); s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}
void put32(Bytes& out, uint32_t v) { put(out, v, 4); }

Bytes fileOf(const std::vector<Chunk>& chunks) {
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    for (const Chunk& c : chunks) {
        put32(out, static_cast<uint32_t>(c.data.size()));
        const size_t start = out.size();
        out.insert(out.end(), c.type.begin(), c.type.end());
        out.insert(out.end(), c.data.begin(), c.data.end());
        uint32_t crc = 0xFFFFFFFFu;
        for (size_t i = start; i < out.size(); ++i) {
            crc ^= out[i];
            for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        put32(out, ~crc);
    }
    return out;
}

std::vector<Chunk> chunksOf(const Bytes& png) {
    std::vector<Chunk> out;
    for (size_t at = 8; at + 12 <= png.size();) {
        const uint32_t n = uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 | png[at + 3];
        out.push_back({std::string(png.begin() + long(at) + 4, png.begin() + long(at) + 8),
                       Bytes(png.begin() + long(at) + 8, png.begin() + long(at) + 8 + n)});
        at += 12 + n;
    }
    return out;
}

Chunk acTL(uint32_t frames, uint32_t plays) {
    Chunk c{"acTL", {}};
    put32(c.data, frames);
    put32(c.data, plays);
    return c;
}

struct Control {
    uint32_t width, height, x = 0, y = 0;
    uint32_t delayNum = 1, delayDen = 10;
    uint8_t dispose = 0, blend = 0;
};

Chunk fcTL(uint32_t sequence, const Control& f) {
    Chunk c{"fcTL", {}};
    for (uint32_t v : {sequence, f.width, f.height, f.x, f.y}) put32(c.data, v);
    put(c.data, f.delayNum, 2);
    put(c.data, f.delayDen, 2);
    put(c.data, f.dispose, 1);
    put(c.data, f.blend, 1);
    return c;
}

Chunk fdAT(uint32_t sequence, const Bytes& stream) {
    Chunk c{"fdAT", Bytes(4 + stream.size())};
    for (int i = 0; i < 4; ++i) c.data[i] = static_cast<uint8_t>(sequence >> (24 - 8 * i));
    std::copy(stream.begin(), stream.end(), c.data.begin() + 4);
    return c;
}

// The header, palette and transparency of a PNG in `plan`'s format (at the canvas size), and a
// frame's zlib stream (at its own size).
std::vector<Chunk> formatChunks(test::PngPlan plan) {
    std::vector<Chunk> chunks = chunksOf(test::writePng(plan));
    chunks.resize(chunks.size() - 2);  // IDAT, IEND
    return chunks;
}
Bytes streamOf(test::PngPlan plan, int width, int height) {
    plan.width = width;
    plan.height = height;
    return chunksOf(test::writePng(plan))[plan.palette.empty() ? 1 : plan.transparency.empty() ? 2 : 3].data;
}

FrameSourcePtr open(const Bytes& file) { return openApng(std::make_shared<const Bytes>(file)); }

// A 2-bit palette picture of 6 x 4, its index at (x, y) in frame k being (x + y + k) % 4; the
// first two entries partly or wholly transparent.
test::PngPlan paletteFrames(int k) {
    test::PngPlan plan;
    plan.width = 6, plan.height = 4, plan.depth = 2, plan.colorType = 3;
    plan.palette.resize(12);
    for (int i = 0; i < 4; ++i) plan.palette[3 * i] = uint8_t(i * 60), plan.palette[3 * i + 1] = uint8_t(255 - i * 60), plan.palette[3 * i + 2] = uint8_t(i * 30);
    plan.transparency = {0x00, 0x80};
    plan.row = [k](int, int y, uint8_t* row, size_t bytes) {
        std::memset(row, 0, bytes);
        for (size_t x = 0; x < bytes * 4; ++x) row[x / 4] |= uint8_t(((x + y + k) % 4) << (6 - 2 * (x % 4)));
    };
    return plan;
}
uint32_t paletteColour(int x, int y, int k) {
    static constexpr uint32_t kAlpha[4] = {0x00, 0x80, 0xFF, 0xFF};
    const uint32_t i = (x + y + k) % 4;
    return kAlpha[i] << 24 | (i * 60) << 16 | (255 - i * 60) << 8 | i * 30;
}

// Three frames: the default image as frame 0 (6 x 4), then 2 x 2 at (3, 1), then 1 x 4 at (5, 0)
// in two fdAT chunks.
std::vector<Chunk> threeFrames() {
    std::vector<Chunk> c = formatChunks(paletteFrames(0));
    const Bytes second = streamOf(paletteFrames(1), 2, 2), third = streamOf(paletteFrames(2), 1, 4);
    c.push_back(acTL(3, 2));
    c.push_back(fcTL(0, {6, 4, 0, 0, 1, 0, 2, 0}));
    c.push_back({"IDAT", streamOf(paletteFrames(0), 6, 4)});
    c.push_back(fcTL(1, {2, 2, 3, 1, 7, 30, 1, 1}));
    c.push_back(fdAT(2, second));
    c.push_back(fcTL(3, {1, 4, 5, 0, 0, 0, 2, 0}));
    c.push_back(fdAT(4, Bytes(third.begin(), third.begin() + 5)));
    c.push_back(fdAT(5, Bytes(third.begin() + 5, third.end())));
    c.push_back({"IEND", {}});
    return c;
}

void expectFramePixels(const Bitmap& b, int width, int height, const std::function<uint32_t(int, int)>& colour) {
    ASSERT_EQ(b.width, width);
    ASSERT_EQ(b.height, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) ASSERT_EQ(b.row(y)[x], colour(x, y)) << x << "," << y;
}

TEST(Apng, ListsItsFramesAsTheirControlsSayAndDecodesEach) {
    const FrameSourcePtr s = open(fileOf(threeFrames()));
    ASSERT_TRUE(s);
    EXPECT_EQ(s->canvasWidth(), 6);
    EXPECT_EQ(s->canvasHeight(), 4);
    EXPECT_EQ(s->loopCount(), 2);
    const auto& f = s->frames();
    ASSERT_EQ(f.size(), 3u);
    // 1/100 s when the denominator is 0; "previous" on the first frame clears it.
    EXPECT_EQ(f[0].delayMs, 10);
    EXPECT_EQ(f[0].dispose, FrameDispose::Clear);
    EXPECT_FALSE(f[0].blend);
    EXPECT_EQ(std::make_tuple(f[1].x, f[1].y, f[1].width, f[1].height), std::make_tuple(3, 1, 2, 2));
    EXPECT_EQ(f[1].delayMs, 233);
    EXPECT_EQ(f[1].dispose, FrameDispose::Clear);
    EXPECT_TRUE(f[1].blend);
    EXPECT_EQ(std::make_tuple(f[2].x, f[2].y, f[2].width, f[2].height), std::make_tuple(5, 0, 1, 4));
    EXPECT_EQ(f[2].delayMs, 0);
    EXPECT_EQ(f[2].dispose, FrameDispose::Restore);
    // Out of order, as a composer may ask for them.
    for (int k : {2, 0, 1}) {
        SCOPED_TRACE(k);
        expectFramePixels(s->decodeFrame(k), f[k].width, f[k].height, [k](int x, int y) { return paletteColour(x, y, k); });
    }
    EXPECT_THROW(s->decodeFrame(3), PlatformError);
}

// RGBA at 16 bits, with and without interlacing; the default image comes before the first frame
// control, so it is only the still picture and the animation starts with the fdAT data.
TEST(Apng, DefaultImageBeforeTheFirstControlIsNotAFrame) {
    for (const bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced);
        const auto plan = [interlaced](int k) {
            test::PngPlan p;
            p.width = 9, p.height = 7, p.depth = 16, p.colorType = 6, p.interlaced = interlaced;
            // Sample values b * 257 read back as b: a swapped byte or channel shows.
            p.row = [k](int pass, int y, uint8_t* row, size_t bytes) {
                for (size_t i = 0; i < bytes / 2; ++i) {
                    const size_t x = i / 4, channel = i % 4;
                    const uint8_t b = uint8_t(channel == 0 ? x * 25 : channel == 1 ? y * 30 + pass : channel == 2 ? 40 * k : 100 + x * 10);
                    row[2 * i] = row[2 * i + 1] = b;
                }
            };
            return p;
        };
        std::vector<Chunk> c = formatChunks(plan(0));
        c.push_back(acTL(2, 0));
        c.push_back({"IDAT", streamOf(plan(9), 9, 7)});
        c.push_back(fcTL(0, {9, 7}));
        c.push_back(fdAT(1, streamOf(plan(1), 9, 7)));
        c.push_back(fcTL(2, {4, 3, 5, 4}));
        c.push_back(fdAT(3, streamOf(plan(2), 4, 3)));
        c.push_back({"IEND", {}});
        const FrameSourcePtr s = open(fileOf(c));
        ASSERT_TRUE(s);
        EXPECT_EQ(s->loopCount(), 0);
        ASSERT_EQ(s->frames().size(), 2u);
        if (!interlaced) {
            expectFramePixels(s->decodeFrame(0), 9, 7, [](int x, int y) {
                return uint32_t(100 + x * 10) << 24 | uint32_t(x * 25) << 16 | uint32_t(y * 30) << 8 | 40u;
            });
            continue;
        }
        // Interlaced rows come pass by pass: each pixel's green is its row in its pass plus the pass.
        const Bitmap b = s->decodeFrame(1);
        ASSERT_EQ(b.width, 4);
        EXPECT_EQ(b.row(0)[0], 0x64000050u);  // pass 0, row 0
        EXPECT_EQ(b.row(2)[3], 0x6E192350u);  // x odd, y even: pass 5, row 1, column 1
        EXPECT_EQ(b.row(1)[2], 0x78320650u);  // y odd: pass 6, row 0
    }
}

// A file cut short or spoilt further on plays the frames before the damage; one whose first
// frame cannot play is no animation at all.
TEST(Apng, DamageEndsTheListAtTheLastFrameHeldWhole) {
    const std::vector<Chunk> good = threeFrames();
    const Bytes whole = fileOf(good);
    const auto framesOf = [](const Bytes& file) -> int {
        const FrameSourcePtr s = open(file);
        return s ? int(s->frames().size()) : 0;
    };
    const auto cutAfter = [&](size_t chunks, size_t into) {  // `into` bytes of the chunk after
        size_t at = 8;
        for (size_t i = 0; i < chunks; ++i) at += 12 + good[i].data.size();
        return Bytes(whole.begin(), whole.begin() + long(at + into));
    };
    const size_t idat = 5, second = 7, thirdEnd = 11;
    EXPECT_EQ(framesOf(cutAfter(idat, 20)), 0);
    EXPECT_EQ(framesOf(cutAfter(second, 20)), 1);
    EXPECT_EQ(framesOf(cutAfter(thirdEnd - 1, 10)), 2);
    EXPECT_EQ(framesOf(cutAfter(thirdEnd, 0)), 2);  // without IEND the last frame may lack data
    EXPECT_EQ(framesOf(whole), 3);

    const auto spoilt = [&](size_t chunk, const std::function<void(Chunk&)>& change) {
        std::vector<Chunk> c = good;
        change(c[chunk]);
        return fileOf(c);
    };
    const auto sequence = [](uint8_t n) { return [n](Chunk& c) { c.data[3] = n; }; };
    EXPECT_EQ(framesOf(spoilt(10, sequence(6))), 2) << "an fdAT's number skips";
    EXPECT_EQ(framesOf(spoilt(9, sequence(5))), 2) << "fdAT numbers swapped";
    EXPECT_EQ(framesOf(spoilt(6, sequence(0))), 1) << "an fcTL's number repeats";
    EXPECT_EQ(framesOf(spoilt(6, [](Chunk& c) { c.data[15] = 5; })), 1) << "x 5 + width 2 past 6 wide";
    EXPECT_EQ(framesOf(spoilt(6, [](Chunk& c) { c.data[24] = 3; })), 1) << "no such disposal";
    EXPECT_EQ(framesOf(spoilt(6, [](Chunk& c) { c.data[25] = 2; })), 1) << "no such blend";
    EXPECT_EQ(framesOf(spoilt(6, [](Chunk& c) { c.data.resize(20); })), 1) << "fcTL cut short";
    EXPECT_EQ(framesOf(spoilt(7, [](Chunk& c) { c = fcTL(2, {1, 1}); })), 1) << "a frame with no data";
    EXPECT_EQ(framesOf(spoilt(3, [](Chunk& c) { c = acTL(2, 0); })), 2) << "fewer frames declared";

    // Data that lists but does not decode is refused when the frame is asked for.
    const FrameSourcePtr s = open(spoilt(7, [](Chunk& c) { std::fill(c.data.begin() + 6, c.data.end(), uint8_t{0xFF}); }));
    ASSERT_TRUE(s);
    ASSERT_EQ(s->frames().size(), 3u);
    try {
        s->decodeFrame(1);
        ADD_FAILURE() << "decoded";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), ErrInvalidPicture);
    }
    EXPECT_EQ(s->decodeFrame(2).width, 1);
}

TEST(Apng, StillsAndBrokenAnimationsAreNoAnimation) {
    const std::vector<Chunk> good = threeFrames();
    const auto without = [&](size_t chunk) {
        std::vector<Chunk> c = good;
        c.erase(c.begin() + long(chunk));
        return fileOf(c);
    };
    EXPECT_FALSE(open(without(3))) << "no acTL";
    std::vector<Chunk> late = good;
    late.insert(late.begin() + 6, late[3]);  // acTL after the image data
    late.erase(late.begin() + 3);
    EXPECT_FALSE(open(fileOf(late)));
    std::vector<Chunk> c = good;
    c[3] = acTL(0, 0);
    EXPECT_FALSE(open(fileOf(c))) << "no frames";
    c = good;
    c[4] = fcTL(0, {5, 4, 1, 0});
    EXPECT_FALSE(open(fileOf(c))) << "a default image's frame not the canvas";
    c = good;
    c.erase(c.begin() + 1);
    EXPECT_FALSE(open(fileOf(c))) << "a palette picture without its palette";
    EXPECT_FALSE(open(test::writePng(paletteFrames(0)))) << "a still";
    EXPECT_FALSE(open(Bytes{'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_FALSE(openApng(nullptr));
}

// A kilobyte that claims a canvas or a frame of hundreds of megabytes is refused from its
// numbers: an unplayable frame is not listed, so no composer allocates for it either.
TEST(Apng, AFrameCostsNoMoreMemoryThanItsDataCanFill) {
    const test::CappedMemory memory(1 << 20);
    test::PngPlan plan;
    plan.width = 2, plan.height = 2, plan.colorType = 6;
    plan.row = [](int, int, uint8_t* row, size_t bytes) { std::memset(row, 0, bytes); };
    std::vector<Chunk> format = formatChunks(plan);
    format[0].data[2] = 0x7F, format[0].data[3] = 0xFF, format[0].data[6] = 0x10, format[0].data[7] = 0;  // 32767 x 4096
    const Bytes small = streamOf(plan, 2, 2), kilobyte(1000, 0);
    const auto file = [&](const Control& first, const Bytes& firstData) {
        std::vector<Chunk> c = format;
        c.push_back(acTL(2, 0));
        c.push_back({"IDAT", kilobyte});
        c.push_back(fcTL(0, first));
        c.push_back(fdAT(1, firstData));
        c.push_back(fcTL(2, {32767, 4096}));
        c.push_back(fdAT(3, kilobyte));
        c.push_back({"IEND", {}});
        return fileOf(c);
    };
    const Bytes smallFirst = file({2, 2}, small);
    EXPECT_LT(smallFirst.size(), 2300u);
    const FrameSourcePtr s = open(smallFirst);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->frames().size(), 1u);
    EXPECT_EQ(s->decodeFrame(0).width, 2);
    EXPECT_FALSE(open(file({32767, 4096}, kilobyte)));

    std::vector<Chunk> huge = format;
    huge[0].data[0] = 0, huge[0].data[1] = 1, huge[0].data[2] = 0x86, huge[0].data[3] = 0xA0;  // 100000 wide
    huge[0].data[4] = 0, huge[0].data[5] = 1, huge[0].data[6] = 0x86, huge[0].data[7] = 0xA0;
    huge.insert(huge.end(), {acTL(1, 0), fcTL(0, {100000, 100000}), {"IDAT", kilobyte}, {"IEND", {}}});
    EXPECT_FALSE(open(fileOf(huge)));
}

// apngasm's file from three 16 x 12 RGBA frames (delays 1/10 s): a square moving right and a
// line of transparency moving down over a gradient. It stores them with a palette, the later
// frames cut to the rectangles that change; composed by the simplest rules, each is the
// picture it was made from.
TEST(Apng, ApngasmFramesComposeToThePicturesGivenIt) {
    const FrameSourcePtr s = openApng(std::make_shared<const Bytes>(std::begin(k_apngasm), std::end(k_apngasm)));
    ASSERT_TRUE(s);
    ASSERT_EQ(s->frames().size(), 3u);
    EXPECT_EQ(s->loopCount(), 0);
    const auto given = [](int x, int y, int k) -> uint32_t {
        if (y == 6 + k && x < 8) return 0;
        if (k * 4 <= x && x < k * 4 + 4 && 2 <= y && y < 5) return 0xFFFFFF00u;
        return 0xFF000000u | uint32_t(x * 16) << 16 | uint32_t(y * 20) << 8 | 0x40u;
    };
    Bitmap canvas;
    canvas.resize(16, 12, 0);
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(k);
        const FrameInfo& f = s->frames()[k];
        EXPECT_EQ(f.delayMs, 100);
        const Bitmap before = canvas, pixels = s->decodeFrame(k);
        ASSERT_EQ(pixels.width, f.width);
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x) {
                const uint32_t p = pixels.row(y)[x];
                uint32_t& c = canvas.row(f.y + y)[f.x + x];
                if (!f.blend || p >> 24 == 0xFF || c >> 24 == 0) c = p;
                else ASSERT_EQ(p >> 24, 0u) << "a partial alpha this reference does not blend";
            }
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t want = given(x, y, k), got = canvas.row(y)[x];
                ASSERT_EQ(want >> 24 ? got : got >> 24, want >> 24 ? want : 0u) << x << "," << y;
            }
        for (int y = 0; y < f.height && f.dispose != FrameDispose::Keep; ++y)
            for (int x = 0; x < f.width; ++x)
                canvas.row(f.y + y)[f.x + x] = f.dispose == FrameDispose::Clear ? 0u : before.row(f.y + y)[f.x + x];
    }
}

}  // namespace
}  // namespace mv
