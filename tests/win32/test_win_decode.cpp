// The Windows still-picture decoder: BMP and JPG read alike everywhere, bad or huge input refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "platform/picture/picture.h"
#include "platform/win32/win_still_decoder.h"
#include "support/fake_platform.h"
#include "support/jpeg_samples.h"
#include "support/photo_pixels.h"
#include "support/reduced_decode.h"

#include <stb/stb_image_write.h>

using namespace mv;

namespace {

std::vector<uint8_t> jpegOf(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
    std::vector<uint8_t> out;
    stbi_write_jpg_to_func(
        [](void* ctx, void* data, int size) {
            auto* v = static_cast<std::vector<uint8_t>*>(ctx);
            v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &out, w, h, 3, rgb.data(), 95);
    return out;
}

std::vector<uint8_t> jpegOf(const Bitmap& pixels) {
    std::vector<uint8_t> rgb;
    for (uint32_t p : pixels.pixels) rgb.insert(rgb.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
    std::vector<uint8_t> out;
    stbi_write_jpg_to_func(
        [](void* ctx, void* data, int size) {
            auto* v = static_cast<std::vector<uint8_t>*>(ctx);
            v->insert(v->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &out, pixels.width, pixels.height, 3, rgb.data(), 90);
    return out;
}

int decodeError(const std::vector<uint8_t>& bytes) {
    try {
        win32::decodeStillStb(bytes);
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

// The portable loader over this decoder, so that what it adds (the Exif turn and the floor it
// works out for a turned photo) is checked with it.
class StbStillPlatform final : public test::FakePlatform {
public:
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override { return win32::decodeStillStb(bytes); }
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override {
        return win32::decodeStillStb(bytes, floor);
    }
};

void putLE32(std::vector<uint8_t>& b, size_t at, int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

}  // namespace

TEST(StillDecoder, ReadsBmpAndJpgAsOpaquePixels) {
    auto bmp = win32::decodeStillStb(test::makeBmp(7, 5, 0x00336699));
    ASSERT_EQ(bmp->width(), 7);
    ASSERT_EQ(bmp->height(), 5);
    const auto& pixels = static_cast<const RgbPicture&>(*bmp).pixels();
    EXPECT_EQ(pixels.row(4)[6], colorToPixel(0x00336699));

    auto jpg = win32::decodeStillStb(jpegOf(16, 8, 200, 40, 10));
    ASSERT_EQ(jpg->width(), 16);
    ASSERT_EQ(jpg->height(), 8);
    const uint32_t p = static_cast<const RgbPicture&>(*jpg).pixels().row(3)[8];
    EXPECT_EQ(p >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((p >> 16) & 0xFF), 200, 8);
    EXPECT_NEAR(static_cast<int>((p >> 8) & 0xFF), 40, 8);
    EXPECT_NEAR(static_cast<int>(p & 0xFF), 10, 8);
}

// stb reads a JPEG whole; one far larger than it is shown is averaged down by 2, 4 or 8 and
// looks, stretched to where it is shown, like the whole photo stretched there.
TEST(StillDecoder, APhotoAveragedDownLooksLikeTheWholePhotoStretched) {
    // Sides that leave odd widths on the way down to 1/8.
    const std::vector<uint8_t> bytes = jpegOf(test::photoPixels(1608, 1208));
    const PicturePtr whole = win32::decodeStillStb(bytes);
    for (const auto& [shown, decoded] : {std::pair<PixelSize, PixelSize>{{800, 600}, {804, 604}},
                                         {{560, 420}, {804, 604}}, {{190, 150}, {201, 151}}, {{1280, 720}, {1608, 1208}}}) {
        const PicturePtr small = win32::decodeStillStb(bytes, [&](int, int) { return shown; });
        ASSERT_EQ((PixelSize{small->width(), small->height()}), decoded) << shown.width;
        EXPECT_LT(test::rmse(test::stretched(*small, shown), test::stretched(*whole, shown)), 0.01) << shown.width;
    }
}

// Odd and extreme sizes, a progressive and a CMYK file, photos turned a quarter by their Exif
// data, and halvings that end on odd sides: loaded for where they are shown, each looks there
// like the whole decode stretched there, and never comes out smaller than that (or than it is).
TEST(StillDecoder, DecodedForWhereItIsShownLooksLikeTheWholeDecodeStretched) {
    StbStillPlatform platform;
    auto cases = test::commonReducedDecodeCases([](int w, int h) { return jpegOf(test::photoPixels(w, h)); });
    cases.push_back({"odd sides", jpegOf(test::photoPixels(207, 153)), {0, 0, 40, 30}, false});
    cases.push_back({"halved to odd sides", jpegOf(test::photoPixels(200, 152)), {0, 0, 25, 19}, true});
    cases.push_back({"halved to odd sides, shown larger", jpegOf(test::photoPixels(200, 152)), {0, 0, 50, 38}, true});
    test::expectReducedDecodesLookWhole(platform, cases);
}

// stb gives up on a JPEG whose data breaks off before its end, where other decoders show what
// arrived: it comes back as far as it decodes and marked damaged. Cut inside its headers, it is
// still unreadable.
TEST(StillDecoder, ACutJpegComesBackMarkedDamaged) {
    const std::vector<uint8_t> photo = jpegOf(test::photoPixels(320, 240));
    const auto first = [&](size_t n) { return std::vector<uint8_t>(photo.begin(), photo.begin() + static_cast<std::ptrdiff_t>(n)); };
    const std::vector<uint8_t> progressive = test::progressiveJpeg();
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool damaged;
    } cases[] = {{"whole", photo, false},
                 {"cut in half", first(photo.size() / 2), true},
                 {"cut before its end marker", first(photo.size() - 2), true},
                 {"progressive, cut in half", std::vector<uint8_t>(progressive.begin(), progressive.begin() + 2800), true}};
    for (const auto& c : cases) {
        for (const DecodeFloor& floor : {DecodeFloor{}, DecodeFloor{[](int, int) { return PixelSize{40, 30}; }}}) {
            const PicturePtr picture = win32::decodeStillStb(c.bytes, floor);
            EXPECT_EQ(static_cast<const RgbPicture&>(*picture).damaged(), c.damaged) << c.what;
        }
    }
    EXPECT_EQ(win32::decodeStillStb(first(photo.size() / 2))->width(), 320);
    EXPECT_EQ(decodeError(first(100)), ErrInvalidPicture);
}

TEST(StillDecoder, RefusesEmptyGarbageAndTruncatedFiles) {
    EXPECT_EQ(decodeError({}), ErrInvalidPicture);
    EXPECT_EQ(decodeError({'h', 'e', 'l', 'l', 'o'}), ErrInvalidPicture);
    auto bmp = test::makeBmp(4, 4, 0);
    bmp.resize(20);  // the header breaks off
    EXPECT_EQ(decodeError(bmp), ErrInvalidPicture);
}

TEST(StillDecoder, RefusesHugeDimensionsBeforeAllocating) {
    auto bmp = test::makeBmp(4, 4, 0);
    putLE32(bmp, 18, 60000);  // width
    putLE32(bmp, 22, 60000);  // height
    EXPECT_EQ(decodeError(bmp), ErrInvalidPicture);
    // Within each side's limit but far beyond the pixel budget.
    putLE32(bmp, 18, 30000);
    putLE32(bmp, 22, 30000);
    EXPECT_EQ(decodeError(bmp), ErrInvalidPicture);
}

// stb_image writes as many entries as a Huffman table's counts declare into tables of 256; a
// table of more codes, which no valid file has, is refused before stb reads it, wherever it
// stands in a table segment, and bytes outside a segment's length are not taken for a table.
TEST(StillDecoder, RefusesHuffmanTablesOfMoreThan256Codes) {
    const auto picture = jpegOf(16, 8, 200, 40, 10);
    // A table for slot 3, which the picture does not use: `codes` codes of lengths 15 and 16,
    // without a byte FF, so that outside a segment stb passes over it as padding.
    const auto table = [](unsigned codes) {
        const unsigned longest = std::min(codes, 200u);
        std::vector<uint8_t> t(17, 0);
        t[0] = 0x03;
        t[15] = static_cast<uint8_t>(codes - longest);
        t[16] = static_cast<uint8_t>(longest);
        for (unsigned v = 0; v < codes; ++v) t.push_back(static_cast<uint8_t>(v % 255));
        return t;
    };
    // A table segment of the given tables right after the start marker; `declared` tables of
    // them lie within the segment's length.
    const auto withSegment = [&](std::vector<std::vector<uint8_t>> tables, size_t declared) {
        std::vector<uint8_t> body;
        size_t length = 2;
        for (size_t k = 0; k < tables.size(); ++k) {
            if (k < declared) length += tables[k].size();
            body.insert(body.end(), tables[k].begin(), tables[k].end());
        }
        const uint8_t head[] = {picture[0], picture[1], 0xFF, 0xC4, static_cast<uint8_t>(length >> 8),
                                static_cast<uint8_t>(length)};  // the start marker, then the segment's
        std::vector<uint8_t> out(sizeof head + body.size() + picture.size() - 2);
        auto at = std::copy(std::begin(head), std::end(head), out.begin());
        at = std::copy(body.begin(), body.end(), at);
        std::copy(picture.begin() + 2, picture.end(), at);
        return out;
    };
    const struct {
        const char* what;
        std::vector<uint8_t> file;
        int error;
    } cases[] = {
        {"256 codes", withSegment({table(256)}, 1), 0},
        {"257 codes", withSegment({table(257)}, 1), ErrInvalidPicture},
        {"257 codes in a segment's second table", withSegment({table(3), table(257)}, 2), ErrInvalidPicture},
        {"257 codes after the segment's end", withSegment({table(3), table(257)}, 1), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(decodeError(c.file), c.error) << c.what;
}

// A progressive scan that names an AC table the file never defined. stb decodes with the table
// as its memory was allocated; the heap is first left as a show leaves it, full of freed
// opaque-black pixels, which sent the decoder 16 MB outside the table and crashed it.
TEST(StillDecoder, AScanWithAnUndefinedHuffmanTableIsRefused) {
    static const uint8_t file[] = {
        0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
        0x00, 0x01, 0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x02, 0x02, 0x02, 0x74,
        0x03, 0x02, 0x02, 0x02, 0x03, 0x03, 0x03, 0x03, 0x04, 0x06, 0x04, 0x04, 0x04, 0x04, 0x04, 0x08,
        0x06, 0x06, 0x05, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10,
        0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0xFF, 0x10, 0x3A, 0x10, 0x10,
        0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0xFF, 0xC2, 0x00,
        0x11, 0x08, 0x00, 0x0C, 0x00, 0x10, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01,
        0xFF, 0xC4, 0x00, 0x16, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xFF, 0xDA, 0x00, 0x08, 0x01, 0x02, 0x01, 0x01,
        0x3F, 0x10, 0x01, 0xFF, 0x00, 0xFF, 0xC4, 0x00, 0x17, 0x10, 0x00, 0x03, 0x00, 0x01, 0x00, 0x03,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x71, 0x91, 0x10, 0xFF, 0xDA,
        0x00, 0x08, 0x01, 0x01, 0x00, 0x01, 0x3F, 0x10, 0x55, 0x15, 0x74, 0x0F, 0xFF, 0xD9,
    };
    std::vector<void*> blocks;
    for (size_t size = 1024; size <= 64 * 1024; size += 64) {
        auto* p = static_cast<uint32_t*>(std::malloc(size));
        ASSERT_NE(p, nullptr);
        std::fill(p, p + size / 4, 0xFF000000u);
        blocks.push_back(p);
    }
    for (void* p : blocks) std::free(p);
    EXPECT_EQ(decodeError(std::vector<uint8_t>(file, file + sizeof file)), ErrInvalidPicture);
}
