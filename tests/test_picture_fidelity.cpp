#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory_resource>
#include <new>

#include "platform/picture/gif/composed_picture.h"
#include "platform/picture/gif/gif_picture.h"
#include "platform/picture/load_picture.h"
#include "platform/picture/png_decoder.h"
#include "support/capped_memory.h"
#include "support/fake_platform.h"
#include "support/gif_writer.h"
#include "support/photo_pixels.h"
#include "support/png_writer.h"

using namespace mv;
using namespace mv::test;

namespace {

constexpr uint32_t TL = 0xFFFF0000u, TR = 0xFF00FF00u, BL = 0xFF0000FFu, BR = 0xFFFFFF00u, Mid = 0xFF808080u;
constexpr int32_t kBackColor = 0x00336699;  // 0x00BBGGRR
constexpr uint32_t Bg = 0xFF996633u;

// A platform whose still decoder hands back fixed pixels whatever the bytes, so the loader's
// own handling of the bytes is what a test sees.
class FixedStillPlatform final : public FakePlatform {
public:
    explicit FixedStillPlatform(Bitmap pixels) : pixels_(std::move(pixels)) {}
    PicturePtr decodeStill(const std::vector<uint8_t>&) override { return std::make_shared<RgbPicture>(pixels_, damaged); }
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override {
        floors.push_back(floor(pixels_.width, pixels_.height));
        return decodeStill(bytes);
    }
    void report(const std::string& line) override { reported.push_back(line); }
    std::vector<PixelSize> floors;  // the least size allowed for the stored picture, per load
    bool damaged = false;           // the decoder finds the data ending early or corrupt
    std::vector<std::string> reported;

private:
    Bitmap pixels_;
};

// 3 x 2 pixels with a different colour in every corner.
Bitmap asymmetric() {
    Bitmap b;
    b.resize(3, 2);
    b.pixels = {TL, Mid, TR, BL, Mid, BR};
    return b;
}

// The start of a JPEG file: its APP1 segment holding an Exif image directory with `entry`
// (12 bytes, in the byte order `order` names) and nothing else.
std::vector<uint8_t> jpegWithExif(const char* order, const std::vector<uint8_t>& entry) {
    const bool little = order[0] == 'I';
    std::vector<uint8_t> tiff = {uint8_t(order[0]), uint8_t(order[1])};
    auto put16 = [&](uint32_t v) {
        little ? tiff.insert(tiff.end(), {uint8_t(v), uint8_t(v >> 8)}) : tiff.insert(tiff.end(), {uint8_t(v >> 8), uint8_t(v)});
    };
    put16(42);
    put16(0), put16(0);  // the directory's offset, 8, below
    tiff[little ? 4 : 7] = 8;
    put16(1);
    tiff.insert(tiff.end(), entry.begin(), entry.end());
    tiff.insert(tiff.end(), {0, 0, 0, 0});
    std::vector<uint8_t> out = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00,  // SOI and a short APP0
                                0xFF, 0xE1, uint8_t((tiff.size() + 8) >> 8), uint8_t(tiff.size() + 8), 'E', 'x', 'i', 'f', 0, 0};
    for (uint8_t v : tiff) out.push_back(v);
    for (uint8_t v : {0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9}) out.push_back(v);
    return out;
}

// The orientation entry: tag 0x0112, type SHORT, count 1, the value.
std::vector<uint8_t> orientationEntry(bool little, uint32_t value, uint32_t type = 3) {
    if (little) return {0x12, 0x01, uint8_t(type), 0, 1, 0, 0, 0, uint8_t(value), uint8_t(value >> 8), 0, 0};
    return {0x01, 0x12, 0, uint8_t(type), 0, 0, 0, 1, uint8_t(value >> 8), uint8_t(value), 0, 0};
}

const RgbPicture& load(FixedStillPlatform& platform, const std::vector<uint8_t>& bytes, PicturePtr& keep) {
    keep = LoadPicture(platform, platform.dir.write("photo.jpg", bytes));
    const auto* rgb = dynamic_cast<const RgbPicture*>(keep.get());
    if (!rgb) throw std::runtime_error("not a still");
    return *rgb;
}

}  // namespace

TEST(PhotoOrientation, EveryExifOrientationShowsTheCornersWhereAViewerDoes) {
    // Per orientation, which stored corner ends up top left, top right, bottom left, bottom right.
    const std::array<std::array<uint32_t, 4>, 9> seen = {{{},
                                                         {TL, TR, BL, BR},
                                                         {TR, TL, BR, BL},
                                                         {BR, BL, TR, TL},
                                                         {BL, BR, TL, TR},
                                                         {TL, BL, TR, BR},
                                                         {BL, TL, BR, TR},
                                                         {BR, TR, BL, TL},
                                                         {TR, BR, TL, BL}}};
    FixedStillPlatform platform(asymmetric());
    for (int o = 1; o <= 8; ++o) {
        const bool little = o % 2 == 1;  // both byte orders
        PicturePtr keep;
        const auto& pic = load(platform, jpegWithExif(little ? "II" : "MM", orientationEntry(little, o)), keep);
        const Bitmap& p = pic.pixels();
        ASSERT_EQ(p.width, o >= 5 ? 2 : 3) << o;
        ASSERT_EQ(p.height, o >= 5 ? 3 : 2) << o;
        const int r = p.width - 1, b = p.height - 1;
        EXPECT_EQ((std::array<uint32_t, 4>{p.row(0)[0], p.row(0)[r], p.row(b)[0], p.row(b)[r]}), seen[o]) << o;
    }
}

// The decoder sees the photo as stored; the floor it gets is where the photo, turned, is shown.
TEST(PhotoOrientation, ATurnedPhotoIsDecodedForItsUprightShape) {
    Bitmap stored;
    stored.resize(1600, 800);
    FixedStillPlatform platform(stored);
    const ShownAreas portrait{{{0, 0, 400, 800}}, PicturePlacement::Fit};
    for (int o : {1, 6}) {
        const PicturePtr pic = LoadPicture(platform, platform.dir.write("photo.jpg", jpegWithExif("II", orientationEntry(true, o))),
                                           portrait);
        EXPECT_EQ(pic->width(), o == 6 ? 800 : 1600);
    }
    // Upright 800x1600 fits the area at 400x800, which is 800x400 as stored; as stored it would
    // fit at 400x200.
    EXPECT_EQ(platform.floors, (std::vector<PixelSize>{{400, 200}, {800, 400}}));
}

// A picture whose data ends early or is corrupt: a chosen one shows as far as it decodes, turned
// as its Exif data says, with one line that names the file; a slideshow's load refuses it.
TEST(PhotoOrientation, ADamagedPhotoIsShownWithALineNamingItOrRefused) {
    FixedStillPlatform platform(asymmetric());
    platform.damaged = true;
    const std::string path = platform.dir.write("cut.jpg", jpegWithExif("II", orientationEntry(true, 6)));
    for (const ShownAreas& shown : {ShownAreas{}, ShownAreas{{{0, 0, 20, 30}}, PicturePlacement::Fit}}) {
        platform.reported.clear();
        const PicturePtr pic = LoadPicture(platform, path, shown);
        EXPECT_EQ(pic->width(), 2);
        EXPECT_TRUE(static_cast<const RgbPicture&>(*pic).damaged());
        ASSERT_EQ(platform.reported.size(), 1u);
        EXPECT_NE(platform.reported[0].find(path), std::string::npos) << platform.reported[0];
        EXPECT_NE(platform.reported[0].find("ends early or is corrupt"), std::string::npos) << platform.reported[0];
    }
    platform.reported.clear();
    try {
        LoadPicture(platform, path, {}, DamagedPicture::Refuse);
        ADD_FAILURE() << "a damaged picture was not refused";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), ErrInputPastEnd);
    }
    EXPECT_TRUE(platform.reported.empty());
    // A sound picture is neither refused nor reported.
    platform.damaged = false;
    EXPECT_EQ(LoadPicture(platform, path, {}, DamagedPicture::Refuse)->width(), 2);
    EXPECT_TRUE(platform.reported.empty());
}

TEST(PhotoOrientation, AMissingDamagedOrStrangeTagShowsThePictureAsStored) {
    FixedStillPlatform platform(asymmetric());
    const auto stored = asymmetric().pixels;
    std::vector<std::vector<uint8_t>> cases = {
        jpegWithExif("II", orientationEntry(true, 0)),
        jpegWithExif("II", orientationEntry(true, 9)),
        jpegWithExif("MM", orientationEntry(false, 6, 4)),                // a LONG, not a SHORT
        jpegWithExif("II", {0x10, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0}),  // another tag
        jpegWithExif("XX", orientationEntry(true, 6)),
        {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x02},  // image data before any Exif segment
    };
    auto cut = jpegWithExif("II", orientationEntry(true, 6));
    cut.resize(30);  // the segment claims more bytes than the file has
    cases.push_back(cut);
    auto bmpLike = jpegWithExif("II", orientationEntry(true, 6));
    bmpLike[0] = 'B', bmpLike[1] = 'M';  // no JPEG at all
    cases.push_back(bmpLike);
    for (size_t i = 0; i < cases.size(); ++i) {
        PicturePtr keep;
        EXPECT_EQ(load(platform, cases[i], keep).pixels().pixels, stored) << "case " << i;
    }
}

TEST(PictureScaling, AGifFrameAndAStillOfTheSamePixelsLookTheSame) {
    // 40 x 30 of every colour of a small palette, with a transparent hole.
    GifPlan plan;
    plan.width = 40;
    plan.height = 30;
    plan.globalPalette = basicPalette();
    GifFramePlan frame = solidFrame(40, 30, 0, 10);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) frame.indices[size_t(y * 40 + x)] = uint8_t((x / 3 + y / 2) % 6);
    frame.transparent = 5;
    plan.frames.push_back(frame);
    const PicturePtr gif = decodeGifPicture(writeGif(plan));

    Bitmap same;
    same.resize(40, 30);
    for (size_t i = 0; i < same.pixels.size(); ++i) {
        const uint8_t index = frame.indices[i];
        same.pixels[i] = index == 5 ? 0 : 0xFF000000u | plan.globalPalette[index];
    }
    // Both stretched 4x and 0.3x give the same screen; `centre`: the middle pixel exactly so.
    const auto expectSameOnScreen = [](const Picture& x, const Picture& y, bool centre) {
        for (double scale : {4.0, 0.3}) {
            const int w = int(40 * scale), h = int(30 * scale);
            Bitmap a, b;
            a.resize(w, h, 0);
            b.resize(w, h, 0);
            x.stretchTo(a, 0, 0, w, h, kBackColor);
            y.stretchTo(b, 0, 0, w, h, kBackColor);
            EXPECT_LT(rmse(a, b), 0.01) << scale;
            if (centre) {
                EXPECT_EQ(a.row(h / 2)[w / 2], b.row(h / 2)[w / 2]) << scale;
            }
        }
    };
    expectSameOnScreen(*gif, RgbPicture(same), true);

    // A canvas composed of two frames is stretched the same way.
    GifFramePlan patch = solidFrame(10, 10, 1, 10);
    patch.left = 5, patch.top = 5, patch.transparent = 3, patch.disposal = 1;
    patch.indices[0] = 3;
    plan.frames[0].disposal = 1;
    const PicturePtr first = composeGifFrame(nullptr, decodeGifPicture(writeGif(plan)));
    plan.frames = {patch};  // the patch alone, as the splitter hands each frame over
    const PicturePtr composed = composeGifFrame(first, decodeGifPicture(writeGif(plan)));
    for (int y = 5; y < 15; ++y)
        for (int x = 5; x < 15; ++x)
            if (x != 5 || y != 5) same.row(y)[x] = 0xFF000000u | plan.globalPalette[1];
    expectSameOnScreen(*composed, RgbPicture(same), false);
}

TEST(PictureScaling, OnlyAPngKeepsItsTransparency) {
    Bitmap holed;
    holed.resize(4, 4, 0xFF00FF00u);
    holed.row(1)[1] = holed.row(1)[2] = holed.row(2)[1] = holed.row(2)[2] = 0x00000000u;
    FixedStillPlatform platform(holed);
    PngPlan plan;
    plan.width = plan.height = 4;
    plan.row = [&](int, int y, uint8_t* row, size_t) {
        for (int x = 0; x < 4; ++x) {
            const uint32_t p = holed.row(y)[x];
            const uint8_t rgba[4] = {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p), uint8_t(p >> 24)};
            std::memcpy(row + 4 * x, rgba, 4);
        }
    };
    const std::vector<uint8_t> png = writePng(plan);
    const std::vector<uint8_t> bmp = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (const bool isPng : {true, false}) {
        const PicturePtr pic = LoadPicture(platform, platform.dir.write("picture", isPng ? png : bmp));
        Bitmap screen;
        screen.resize(4, 4, 0);
        pic->stretchTo(screen, 0, 0, 4, 4, kBackColor);
        EXPECT_EQ(screen.row(0)[0], 0xFF00FF00u);
        EXPECT_EQ(screen.row(1)[2], isPng ? Bg : 0xFF000000u) << isPng;
    }
}

// A PNG reads the same whatever its colour type, depth or interlacing, on every platform: the
// same 9 x 7 picture stored eight ways gives the same pixels (16-bit samples rounded to 8 bits).
TEST(PictureScaling, PngReadsAlikeInEveryFormat) {
    constexpr int W = 9, H = 7;
    const auto grey = [](int x, int y) { return static_cast<uint8_t>((x * 7 + y * 11) * 255 / 124); };
    const auto at = [&](int pass, int y, bool interlaced, int& y0, int& x0, int& dx) {
        static constexpr int kAdam7[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
        const int* p = interlaced ? kAdam7[pass] : kAdam7[6];
        x0 = interlaced ? p[0] : 0, dx = interlaced ? p[2] : 1, y0 = interlaced ? p[1] + y * p[3] : y;
    };
    FakePlatform platform;
    const auto load = [&](PngPlan plan) {
        const PicturePtr pic = LoadPicture(platform, platform.dir.write("p.png", writePng(plan)));
        return static_cast<const RgbPicture&>(*pic).pixels();
    };
    std::vector<Bitmap> seen;
    for (const bool interlaced : {false, true}) {
        for (const int depth : {8, 16}) {
            PngPlan rgb;  // RGB, the corner pixel made transparent by its colour key
            rgb.width = W, rgb.height = H, rgb.depth = depth, rgb.colorType = 2, rgb.interlaced = interlaced;
            // The key of the corner pixel (0, 255, 0), two bytes a sample either way.
            rgb.transparency = depth == 8 ? std::vector<uint8_t>{0, 0, 0, 255, 0, 0} : std::vector<uint8_t>{0, 0, 255, 255, 0, 0};
            rgb.row = [&](int pass, int y, uint8_t* row, size_t) {
                int y0, x0, dx;
                at(pass, y, interlaced, y0, x0, dx);
                for (int x = x0, i = 0; x < W; x += dx, ++i)
                    for (int k = 0; k < 3; ++k) {
                        const uint8_t v = k == 0 ? grey(x, y0) : k == 1 ? uint8_t(255 - grey(x, y0)) : uint8_t(x * 20);
                        if (depth == 8) row[3 * i + k] = v;
                        else row[6 * i + 2 * k] = v, row[6 * i + 2 * k + 1] = v;  // v * 257: exactly v in 8 bits
                    }
            };
            seen.push_back(load(rgb));
            PngPlan palette = rgb;  // the same colours through a palette of one entry per pixel
            palette.depth = 8, palette.colorType = 3;
            palette.palette.clear();
            palette.transparency = {0};
            for (int i = 0; i < W * H; ++i) {
                const int x = i % W, y = i / W;
                palette.palette.insert(palette.palette.end(), {grey(x, y), uint8_t(255 - grey(x, y)), uint8_t(x * 20)});
                if (i > 0) palette.transparency.push_back(255);
            }
            palette.row = [&](int pass, int y, uint8_t* row, size_t) {
                int y0, x0, dx;
                at(pass, y, interlaced, y0, x0, dx);
                for (int x = x0, i = 0; x < W; x += dx, ++i) row[i] = static_cast<uint8_t>(y0 * W + x);
            };
            seen.push_back(load(palette));
        }
    }
    ASSERT_EQ(seen[0].width, W);
    ASSERT_EQ(seen[0].height, H);
    EXPECT_EQ(seen[0].row(0)[0] >> 24, 0u);  // the colour key
    EXPECT_EQ(seen[0].row(6)[8], 0xFF000000u | uint32_t{grey(8, 6)} << 16 | uint32_t(255 - grey(8, 6)) << 8 | 160u);
    for (size_t i = 1; i < seen.size(); ++i) EXPECT_EQ(seen[i].pixels, seen[0].pixels) << i;
}

namespace {

// A zlib stream of `n` zero bytes as dense as deflate allows: one literal, then matches of 258
// bytes at two bits each (one-bit codes for the longest length and for distance 1).
std::vector<uint8_t> densestZeros(size_t n) {
    std::vector<uint8_t> out = {0x78, 0x01};
    uint32_t acc = 0;
    int bits = 0;
    const auto put = [&](uint32_t v, int count) {  // a number, least significant bit first
        for (int i = 0; i < count; ++i, v >>= 1) {
            acc |= (v & 1u) << bits;
            if (++bits == 8) out.push_back(static_cast<uint8_t>(acc)), acc = 0, bits = 0;
        }
    };
    const auto code = [&](uint32_t c, int length) {  // a Huffman code, most significant bit first
        for (int i = length - 1; i >= 0; --i) put(c >> i, 1);
    };
    put(1, 1), put(2, 2);  // the last block, dynamic codes
    put(286 - 257, 5), put(0, 5), put(18 - 4, 4);
    // Code lengths of the code-length codes, in their odd order: 18 takes one bit, 1 and 2 two.
    static constexpr int kOrder[18] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1};
    for (int s : kOrder) put(s == 18 ? 1 : s == 1 || s == 2 ? 2 : 0, 3);
    const auto zeros = [&](int count) { code(0, 1), put(static_cast<uint32_t>(count - 11), 7); };  // 18: a run of zeros
    // Literal 0 and end of block two bits, length 258 one bit; distance 1 one bit.
    code(3, 2), zeros(138), zeros(117), code(3, 2), zeros(28), code(2, 2), code(2, 2);
    code(2, 2), n -= 1;  // literal 0
    for (; n >= 258; n -= 258) code(0, 1), code(0, 1);
    for (; n > 0; --n) code(2, 2);
    code(3, 2);  // end of block
    if (bits) out.push_back(static_cast<uint8_t>(acc));
    out.insert(out.end(), 4, 0);  // the check sum, which the reader does not read
    return out;
}

std::vector<uint8_t> pngOf(uint32_t width, uint32_t height, int depth, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
        for (int s = 24; s >= 0; s -= 8) file.push_back(static_cast<uint8_t>(body.size() >> s));
        file.insert(file.end(), type, type + 4);
        file.insert(file.end(), body.begin(), body.end());
        file.insert(file.end(), 4, 0);
    };
    std::vector<uint8_t> header;
    for (const uint32_t v : {width, height})
        for (int s = 24; s >= 0; s -= 8) header.push_back(static_cast<uint8_t>(v >> s));
    header.insert(header.end(), {static_cast<uint8_t>(depth), 6, 0, 0, 0});  // RGBA
    chunk("IHDR", header);
    chunk("IDAT", data);
    chunk("IEND", {});
    return file;
}

}  // namespace

// A header may promise a picture of half a gigabyte over a hundred bytes of data: it is refused
// before its pixels are allocated, while a picture its data can fill, even at deflate's
// densest, still reads.
TEST(PngReader, APictureCostsNoMoreMemoryThanItsDataCanFill) {
    const test::CappedMemory memory(16 << 20);
    for (const int depth : {8, 16}) {
        const std::vector<uint8_t> file = pngOf(11585, 11585, depth, densestZeros(600));
        EXPECT_LT(file.size(), 100u);
        EXPECT_THROW(decodePng(file), PlatformError) << depth;
    }
    // 1024 rows of 4097 bytes from about 4 KB of data, some 1010 to 1.
    const std::vector<uint8_t> dense = densestZeros(1024 * (1 + 1024 * 4));
    EXPECT_LT(dense.size(), 4150u);
    const PicturePtr picture = decodePng(pngOf(1024, 1024, 8, dense));
    ASSERT_EQ(picture->width(), 1024);
    EXPECT_EQ(static_cast<const RgbPicture&>(*picture).pixels().row(1023)[1023], 0u);
}
