// Pictures read by the system's imaging codecs (TIFF here, which Wine and Windows both have):
// exact pixels, a reduced decode where it is shown smaller, and calm refusals.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <psapi.h>

#include <cstdlib>
#include <random>
#include <thread>

#include "platform/error.h"
#include "platform/picture/picture.h"
#include "platform/win32/win_wic_still.h"
#include "support/photo_pixels.h"
#include "support/reduced_decode.h"
#include "win_test_forms.h"

using namespace mv;

namespace {

void put16(std::vector<uint8_t>& b, uint16_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void put32(std::vector<uint8_t>& b, uint32_t v) { b.insert(b.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}); }

// An uncompressed little-endian TIFF of 8-bit RGB or RGBA (unassociated alpha) in one strip.
// `claimW` x `claimH`, when given, is the size its header claims instead of the pixels' own.
std::vector<uint8_t> tiffOf(const Bitmap& px, bool alpha, int claimW = 0, int claimH = 0) {
    const uint16_t spp = alpha ? 4 : 3;
    std::vector<uint8_t> data;
    for (uint32_t p : px.pixels) {
        data.insert(data.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        if (alpha) data.push_back(uint8_t(p >> 24));
    }
    const uint32_t bitsAt = 8, dataAt = 16;
    const uint32_t ifdAt = dataAt + static_cast<uint32_t>(data.size());
    std::vector<uint8_t> b = {'I', 'I', 42, 0};
    put32(b, ifdAt);
    for (int i = 0; i < spp; ++i) put16(b, 8);  // the BitsPerSample values
    b.resize(dataAt, 0);
    b.insert(b.end(), data.begin(), data.end());
    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    const uint32_t w = claimW ? claimW : px.width, h = claimH ? claimH : px.height;
    std::vector<Entry> entries = {{256, 4, 1, w}, {257, 4, 1, h}, {258, 3, spp, bitsAt}, {259, 3, 1, 1},
                                  {262, 3, 1, 2}, {273, 4, 1, dataAt}, {277, 3, 1, spp}, {278, 4, 1, h},
                                  {279, 4, 1, static_cast<uint32_t>(data.size())}, {284, 3, 1, 1}};
    if (alpha) entries.push_back({338, 3, 1, 2});
    put16(b, static_cast<uint16_t>(entries.size()));
    for (const Entry& e : entries) {
        put16(b, e.tag);
        put16(b, e.type);
        put32(b, e.count);
        put32(b, e.value);  // a SHORT value sits in the low half, little-endian
    }
    put32(b, 0);
    return b;
}

int decodeError(const std::vector<uint8_t>& bytes, const DecodeFloor& floor = {}) {
    try {
        win32::decodeStillWic(bytes, floor);
    } catch (const PlatformError& e) {
        return e.number();
    }
    return 0;
}

const Bitmap& pixelsOf(const PicturePtr& p) { return static_cast<const RgbPicture&>(*p).pixels(); }

}  // namespace

// Opaque pixels come back exactly and fully opaque; a transparent picture keeps every alpha
// value and, where it is not zero, its colour.
TEST(WicStill, ATiffComesBackPixelForPixel) {
    const Bitmap photo = test::photoPixels(211, 97);
    const PicturePtr opaque = win32::decodeStillWic(tiffOf(photo, false));
    ASSERT_EQ(pixelsOf(opaque).width, 211);
    ASSERT_EQ(pixelsOf(opaque).height, 97);
    EXPECT_EQ(pixelsOf(opaque).pixels, photo.pixels);

    Bitmap seeThrough = photo;
    for (size_t i = 0; i < seeThrough.pixels.size(); ++i)
        seeThrough.pixels[i] = (seeThrough.pixels[i] & 0xFFFFFF) | uint32_t((i * 7) % 255 + 1) << 24;
    EXPECT_EQ(pixelsOf(win32::decodeStillWic(tiffOf(seeThrough, true))).pixels, seeThrough.pixels);
}

// The backend sends BMP and JPEG to the bundled decoder and everything else to the codecs.
TEST(WicStill, TheBackendReadsATiffAndListsItsEndings) {
    test::TestWinPlatform platform;
    const Bitmap photo = test::photoPixels(64, 48);
    EXPECT_EQ(pixelsOf(platform.decodeStill(tiffOf(photo, false))).pixels, photo.pixels);
    const auto endings = platform.morePictureSuffixes();
    EXPECT_NE(std::find(endings.begin(), endings.end(), "tif"), endings.end());
    EXPECT_EQ(std::find(endings.begin(), endings.end(), "png"), endings.end());
    EXPECT_FALSE(win32::bundledDecoderReads(tiffOf(photo, false)));
    EXPECT_TRUE(win32::bundledDecoderReads({'B', 'M', 0}));
    EXPECT_TRUE(win32::bundledDecoderReads({0xFF, 0xD8, 0xFF}));
}

// Shown smaller, the picture comes back no smaller than shown, smaller than stored, and looks
// there like the whole decode stretched there.
TEST(WicStill, ShownSmallerItIsDecodedSmaller) {
    const Bitmap photo = test::photoPixels(1203, 905);
    const std::vector<uint8_t> tiff = tiffOf(photo, false);
    const PicturePtr whole = win32::decodeStillWic(tiff);
    for (const PixelSize shown : {PixelSize{400, 300}, PixelSize{1000, 900}, PixelSize{97, 31}}) {
        const PicturePtr small = win32::decodeStillWic(tiff, [&](int, int) { return shown; });
        EXPECT_GE(small->width(), shown.width);
        EXPECT_GE(small->height(), shown.height);
        EXPECT_LT(small->width(), 1203);
        EXPECT_LT(test::rmse(test::stretched(*small, shown), test::stretched(*whole, shown)), 0.01) << shown.width;
    }
    // Larger than stored in either direction: whole.
    const PicturePtr big = win32::decodeStillWic(tiff, [](int, int) { return PixelSize{1300, 200}; });
    EXPECT_EQ(pixelsOf(big).pixels, photo.pixels);
}

// A header claiming more than the guard allows is refused before the pixels exist: the
// process's peak memory hardly moves.
TEST(WicStill, HugeClaimsAreRefusedWithoutTheirMemory) {
    const Bitmap dot = test::photoPixels(2, 2);
    PROCESS_MEMORY_COUNTERS before{}, after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    EXPECT_EQ(decodeError(tiffOf(dot, false, 100000, 100000)), ErrInvalidPicture);
    EXPECT_EQ(decodeError(tiffOf(dot, true, 30000, 30000)), ErrInvalidPicture);  // each side within, the area not
    EXPECT_EQ(decodeError(tiffOf(dot, false, 30000, 30000), [](int, int) { return PixelSize{10, 10}; }), ErrInvalidPicture);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PeakWorkingSetSize, before.PeakWorkingSetSize + (64u << 20));
}

// Damaged files, a type no codec here reads and plain garbage: ErrInvalidPicture, nothing else.
TEST(WicStill, DamagedOrUnknownFilesAreRefused) {
    const std::vector<uint8_t> tiff = tiffOf(test::photoPixels(64, 48), false);
    std::vector<uint8_t> cut(tiff.begin(), tiff.begin() + 1000);  // the strip breaks off; no directory
    EXPECT_EQ(decodeError(cut), ErrInvalidPicture);
    // The directory whole, its strip placed beyond the end of the file.
    std::vector<uint8_t> strayStrip = tiff;
    const size_t directory = strayStrip[4] | strayStrip[5] << 8 | strayStrip[6] << 16;
    for (size_t e = directory + 2; e + 12 <= strayStrip.size(); e += 12)
        if (strayStrip[e] == 273 - 256 && strayStrip[e + 1] == 1) strayStrip[e + 10] = 0x70;  // StripOffsets
    EXPECT_EQ(decodeError(strayStrip), ErrInvalidPicture);
    EXPECT_EQ(decodeError({}), ErrInvalidPicture);
    EXPECT_EQ(decodeError({'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0}), ErrInvalidPicture);
    // An ISO media file of a type no codec may read here (HEIF's brand); where one does, it is
    // still refused as damaged.
    const std::vector<uint8_t> heif = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'h', 'e', 'i', 'c', 0, 0, 0, 0,
                                       'm', 'i', 'f', '1', 'h', 'e', 'i', 'c', 0, 0, 0, 8, 'm', 'e', 't', 'a'};
    EXPECT_EQ(decodeError(heif), ErrInvalidPicture);
}

// Pictures are decoded on the slideshow's own thread too, and on threads whose COM was set up
// otherwise: each call sets up what it needs and leaves the thread as it found it.
TEST(WicStill, DecodesOnAnyThread) {
    const Bitmap photo = test::photoPixels(50, 40);
    const std::vector<uint8_t> tiff = tiffOf(photo, false);
    bool plain = false, multi = false, stillMulti = false;
    std::thread([&] { plain = pixelsOf(win32::decodeStillWic(tiff)).pixels == photo.pixels; }).join();
    std::thread([&] {
        if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) return;
        multi = pixelsOf(win32::decodeStillWic(tiff)).pixels == photo.pixels;
        // Still in the apartment it chose: initialising it so again only counts up.
        const HRESULT again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        stillMulti = again == S_FALSE;
        if (SUCCEEDED(again)) CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_TRUE(plain);
    EXPECT_TRUE(multi);
    EXPECT_TRUE(stillMulti);
}

// Truncated and bit-flipped TIFFs, plain and with alpha, whole and for a smaller place: each
// decodes or is refused with ErrInvalidPicture. MARVOSCOPE_WIC_FUZZ_CASES runs more.
TEST(WicStill, MangledTiffsDecodeOrAreRefused) {
    const char* more = std::getenv("MARVOSCOPE_WIC_FUZZ_CASES");
    const int cases = more ? std::max(1, std::atoi(more)) : 200;
    const std::vector<uint8_t> seeds[] = {tiffOf(test::photoPixels(37, 23), false), tiffOf(test::photoPixels(29, 31), true)};
    std::mt19937 random(7);
    for (int i = 0; i < cases; ++i) {
        std::vector<uint8_t> b = seeds[i % 2];
        if (i % 3 == 0) {
            b.resize(random() % b.size());
        } else {
            // Flips in the header and directory mostly, where sizes and offsets live.
            for (int k = 0; k < 1 + i % 4; ++k) {
                const size_t at = random() % 4 ? b.size() - 1 - random() % 140 : random() % b.size();
                b[at] ^= uint8_t(1u << (random() % 8));
            }
        }
        const DecodeFloor floor = i % 2 ? DecodeFloor{[](int, int) { return PixelSize{9, 7}; }} : DecodeFloor{};
        const int error = decodeError(b, floor);
        EXPECT_TRUE(error == 0 || error == ErrInvalidPicture) << "case " << i << ": " << error;
    }
}
