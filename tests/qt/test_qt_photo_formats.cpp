// HEIF/HEIC, AVIF, JPEG XL and WebP, each written here by its own library's encoder and read back
// through the backend's still decoder and (animated WebP) its frame source.
#include <gtest/gtest.h>

#include <jxl/encode.h>
#include <libheif/heif.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "platform/picture/picture.h"
#include "platform/qt/qt_heif_decoder.h"
#include "platform/qt/qt_still_decoder.h"
#include "platform/qt/qt_webp_frames.h"
#include "support/fake_platform.h"
#include "support/photo_pixels.h"
#include "support/reduced_decode.h"

using namespace mv;

namespace {

using Bytes = std::vector<uint8_t>;

// A small picture with a colour and alpha of its own at every pixel (alpha never 0, where
// encoders may change the colour); opaque when asked.
Bitmap sample(int w, int h, bool alpha) {
    Bitmap bmp;
    bmp.resize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t a = alpha ? 40 + (x * 37 + y * 11) % 215 : 255;
            bmp.row(y)[x] = a << 24 | uint32_t(x * 29 % 256) << 16 | uint32_t(y * 53 % 256) << 8 | uint32_t((x + y) * 17 % 256);
        }
    return bmp;
}

Bytes webpLossless(const Bitmap& bmp) {
    uint8_t* out = nullptr;
    const size_t size = WebPEncodeLosslessBGRA(reinterpret_cast<const uint8_t*>(bmp.pixels.data()), bmp.width,
                                               bmp.height, bmp.width * 4, &out);
    Bytes bytes(out, out + size);
    WebPFree(out);
    return bytes;
}

Bytes jxlLossless(const Bitmap& bmp, bool alpha) {
    JxlEncoder* enc = JxlEncoderCreate(nullptr);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = static_cast<uint32_t>(bmp.width);
    info.ysize = static_cast<uint32_t>(bmp.height);
    info.bits_per_sample = 8;
    info.uses_original_profile = JXL_TRUE;
    info.num_extra_channels = alpha ? 1 : 0;
    info.alpha_bits = alpha ? 8 : 0;
    JxlColorEncoding srgb;
    JxlColorEncodingSetToSRGB(&srgb, JXL_FALSE);
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(enc, nullptr);
    std::vector<uint8_t> rgba;
    for (const uint32_t p : bmp.pixels) {
        rgba.insert(rgba.end(), {uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)});
        if (alpha) rgba.push_back(uint8_t(p >> 24));
    }
    const JxlPixelFormat format{alpha ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    Bytes bytes(4096);
    size_t written = 0;
    bool ok = JxlEncoderSetBasicInfo(enc, &info) == JXL_ENC_SUCCESS && JxlEncoderSetColorEncoding(enc, &srgb) == JXL_ENC_SUCCESS &&
              JxlEncoderSetFrameLossless(settings, JXL_TRUE) == JXL_ENC_SUCCESS &&
              JxlEncoderAddImageFrame(settings, &format, rgba.data(), rgba.size()) == JXL_ENC_SUCCESS;
    JxlEncoderCloseInput(enc);
    for (JxlEncoderStatus status = JXL_ENC_NEED_MORE_OUTPUT; ok && status == JXL_ENC_NEED_MORE_OUTPUT;) {
        uint8_t* next = bytes.data() + written;
        size_t avail = bytes.size() - written;
        status = JxlEncoderProcessOutput(enc, &next, &avail);
        written = static_cast<size_t>(next - bytes.data());
        if (status == JXL_ENC_NEED_MORE_OUTPUT) bytes.resize(bytes.size() * 2);
        ok = status != JXL_ENC_ERROR;
    }
    JxlEncoderDestroy(enc);
    bytes.resize(ok ? written : 0);
    return bytes;
}

heif_error appendTo(heif_context*, const void* data, size_t size, void* bytes) {
    auto* out = static_cast<Bytes*>(bytes);
    out->insert(out->end(), static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
    return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

// HEVC (HEIC) or AV1 (AVIF) at high quality, 8 or 10 bits per channel (10-bit values are the
// 8-bit ones times four); empty where libheif has no such encoder here.
Bytes heifOf(const Bitmap& bmp, heif_compression_format codec, int bits = 8) {
    Bytes bytes;
    if (!heif_have_encoder_for_format(codec)) return bytes;
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    heif_image* image = nullptr;
    if (heif_context_get_encoder_for_format(context, codec, &encoder).code == heif_error_Ok &&
        heif_image_create(bmp.width, bmp.height, heif_colorspace_RGB,
                          bits == 8 ? heif_chroma_interleaved_RGB : heif_chroma_interleaved_RRGGBB_LE, &image).code == heif_error_Ok &&
        heif_image_add_plane(image, heif_channel_interleaved, bmp.width, bmp.height, bits).code == heif_error_Ok) {
        int stride = 0;
        uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < bmp.height; ++y)
            for (int x = 0; x < bmp.width; ++x) {
                const uint32_t p = bmp.row(y)[x];
                const int rgb[3] = {int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
                for (int c = 0; c < 3; ++c) {
                    if (bits == 8) {
                        plane[y * stride + x * 3 + c] = uint8_t(rgb[c]);
                    } else {
                        const int v = rgb[c] * 4;
                        plane[y * stride + x * 6 + c * 2] = uint8_t(v);
                        plane[y * stride + x * 6 + c * 2 + 1] = uint8_t(v >> 8);
                    }
                }
            }
        heif_encoder_set_lossy_quality(encoder, 95);
        heif_writer writer{1, appendTo};
        if (heif_context_encode_image(context, image, encoder, nullptr, nullptr).code != heif_error_Ok ||
            heif_context_write(context, &writer, &bytes).code != heif_error_Ok)
            bytes.clear();
    }
    if (image) heif_image_release(image);
    if (encoder) heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

// The mean difference per channel, 0 to 255, of two bitmaps of one size.
double meanDifference(const Bitmap& a, const Bitmap& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        for (int shift = 0; shift < 32; shift += 8)
            sum += std::abs(int(a.pixels[i] >> shift & 0xFF) - int(b.pixels[i] >> shift & 0xFF));
    return sum / (a.pixels.size() * 4.0);
}

Bitmap pixelsOf(const PicturePtr& picture) {
    return static_cast<const RgbPicture&>(*picture).pixels();
}

void expectInvalid(const Bytes& bytes, const std::string& what) {
    try {
        qt::decodeStill(bytes);
        ADD_FAILURE() << what << " was decoded";
    } catch (const PlatformError& e) {
        EXPECT_EQ(e.number(), ErrInvalidPicture) << what;
    }
}

// Refused in a child process whose address space may grow by 256 MB only: a decoder that
// reserved the declared picture before refusing it dies there instead.
bool refusedWithoutAllocating(const Bytes& bytes) {
    qt::startHeif();
    const pid_t child = fork();
    if (child == 0) {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
            std::fclose(statm);
        }
        const rlim_t limit = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (256u << 20);
        const rlimit bound{limit, limit};
        setrlimit(RLIMIT_AS, &bound);
        try {
            qt::decodeStill(bytes);
            _exit(1);
        } catch (const PlatformError& e) {
            _exit(e.number() == ErrInvalidPicture ? 0 : 2);
        } catch (...) {
            _exit(3);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "child status %d\n", status);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void put32(Bytes& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = uint8_t(v >> (24 - 8 * i));
}

// The HEIF file with every image's stored size (each `ispe` property) changed: the shown
// picture's and that of the coded picture under it.
Bytes claimingHeif(Bytes bytes, uint32_t w, uint32_t h) {
    const std::string text(bytes.begin(), bytes.end());
    int found = 0;
    for (size_t ispe = text.find("ispe"); ispe != std::string::npos; ispe = text.find("ispe", ispe + 4), ++found) {
        put32(bytes, ispe + 8, w);
        put32(bytes, ispe + 12, h);
    }
    return found ? bytes : Bytes{};
}

class QtPlatformUnderTest final : public test::FakePlatform {
public:
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override { return qt::decodeStill(bytes); }
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override {
        return qt::decodeStill(bytes, floor);
    }
    FrameSourcePtr openFrames(const std::vector<uint8_t>& bytes) override { return qt::openWebpFrames(bytes); }
};

}  // namespace

// Lossless WebP and JPEG XL give back every pixel exactly, alpha straight and kept; opaque ones
// come out opaque.
TEST(QtPhotoFormats, LosslessWebpAndJxlComeBackExactly) {
    for (const bool alpha : {false, true}) {
        const Bitmap original = sample(13, 7, alpha);
        for (const auto& [what, bytes] : {std::pair{"WebP", webpLossless(original)}, std::pair{"JPEG XL", jxlLossless(original, alpha)}}) {
            ASSERT_FALSE(bytes.empty()) << what;
            const Bitmap decoded = pixelsOf(qt::decodeStill(bytes));
            ASSERT_EQ(decoded.width, 13) << what;
            ASSERT_EQ(decoded.height, 7) << what;
            EXPECT_TRUE(decoded.pixels == original.pixels) << what << (alpha ? " with alpha" : " opaque");
            // Asked for a third of its size, an opaque picture comes out so; one with alpha whole
            // and exact, as averaging would mix see-through pixels' colours into the rest.
            const PicturePtr small = qt::decodeStill(bytes, [](int w, int h) { return PixelSize{w / 3, h / 3}; });
            if (alpha)
                EXPECT_TRUE(pixelsOf(small).pixels == original.pixels) << what;
            else
                EXPECT_EQ(std::pair(small->width(), small->height()), std::pair(4, 2)) << what;
        }
    }
}

// HEVC and AV1 are lossy and YUV-coded: close, opaque, and a 10-bit HEIC the same as an 8-bit one.
TEST(QtPhotoFormats, HeicTenBitHeicAndAvifDecodeClose) {
    const Bitmap original = test::photoPixels(64, 48);
    int decodedAny = 0;
    for (const auto& [what, bytes] : {std::pair{"HEIC", heifOf(original, heif_compression_HEVC)},
                                      std::pair{"10-bit HEIC", heifOf(original, heif_compression_HEVC, 10)},
                                      std::pair{"AVIF", heifOf(original, heif_compression_AV1)}}) {
        if (bytes.empty()) continue;
        ++decodedAny;
        const Bitmap decoded = pixelsOf(qt::decodeStill(bytes));
        ASSERT_EQ(decoded.width, 64) << what;
        ASSERT_EQ(decoded.height, 48) << what;
        EXPECT_LT(meanDifference(decoded, original), 4.0) << what;
        for (const uint32_t p : decoded.pixels) ASSERT_EQ(p >> 24, 0xFFu) << what;
    }
    if (decodedAny == 0) GTEST_SKIP() << "libheif has no HEVC or AV1 encoder here";
}

// Loaded for a small place, each format comes out reduced yet looks like the whole decode
// stretched there.
TEST(QtPhotoFormats, DecodedForWhereItIsShownLooksLikeTheWholeDecodeStretched) {
    const Bitmap photo = test::photoPixels(640, 480);
    std::vector<test::ReducedDecodeCase> cases;
    const PixelRect area{0, 0, 160, 120};
    cases.push_back({"WebP", webpLossless(photo), area, true});
    cases.push_back({"JPEG XL", jxlLossless(photo, false), area, true});
    if (Bytes heic = heifOf(photo, heif_compression_HEVC); !heic.empty()) cases.push_back({"HEIC", heic, area, true});
    for (const auto& c : cases) ASSERT_GT(c.jpeg.size(), 100u) << c.what;
    QtPlatformUnderTest platform;
    test::expectReducedDecodesLookWhole(platform, cases);
}

// Tiny files whose headers claim pictures beyond the size guard, and files cut short.
TEST(QtPhotoFormats, HugeClaimsAndCutFilesAreRefused) {
    Bytes webp = webpLossless(sample(8, 8, false));
    ASSERT_EQ(std::string(webp.begin() + 12, webp.begin() + 16), "VP8L");
    // VP8L's largest: 16384 x 16384, 14 bits a side less one, then the alpha hint and version.
    const uint32_t header = 16383u | 16383u << 14 | (webp[24] >> 4 & 1u) << 28;
    for (int i = 0; i < 4; ++i) webp[21 + i] = uint8_t(header >> (8 * i));
    EXPECT_TRUE(refusedWithoutAllocating(webp)) << "WebP claiming 16384x16384";

    const Bytes heic = heifOf(sample(16, 16, false), heif_compression_HEVC);
    if (!heic.empty()) {
        EXPECT_TRUE(refusedWithoutAllocating(claimingHeif(heic, 100000, 100000))) << "HEIC claiming 100000x100000";
        EXPECT_TRUE(refusedWithoutAllocating(claimingHeif(heic, 20000, 20000))) << "HEIC claiming 20000x20000";
    }
    // A JPEG XL codestream's size header alone: 100000 x 100000 (both sides as 1 + an 18-bit
    // number), then "all default" image metadata.
    uint64_t bits = 0;
    int at = 0;
    const auto put = [&](uint64_t v, int n) { bits |= v << at; at += n; };
    put(0, 1), put(2, 2), put(99999, 18), put(0, 3), put(2, 2), put(99999, 18), put(1, 1);
    Bytes jxl{0xFF, 0x0A};
    for (int i = 0; i < (at + 7) / 8 + 8; ++i) jxl.push_back(uint8_t(bits >> (8 * i)));
    EXPECT_TRUE(refusedWithoutAllocating(jxl)) << "JPEG XL claiming 100000x100000";

    const Bitmap pic = sample(40, 30, true);
    for (Bytes bytes : {webpLossless(pic), jxlLossless(pic, true), heifOf(pic, heif_compression_HEVC)}) {
        if (bytes.empty()) continue;
        bytes.resize(bytes.size() / 2);
        expectInvalid(bytes, "a file cut in half (" + std::to_string(bytes.size()) + " bytes)");
    }
}

// An animated WebP from libwebp's own animation encoder: its canvas, loop count, every frame's
// rectangle, delay and pixels; a still WebP is no animation.
TEST(QtPhotoFormats, AnimatedWebpFramesAreReadAsWritten) {
    WebPAnimEncoderOptions options;
    ASSERT_TRUE(WebPAnimEncoderOptionsInit(&options));
    options.anim_params.loop_count = 3;
    options.allow_mixed = 0;
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(16, 12, &options);
    ASSERT_NE(encoder, nullptr);
    WebPConfig config;
    ASSERT_TRUE(WebPConfigInit(&config));
    config.lossless = 1;
    // A red canvas; then a blue 4x4 square at (8, 4); then the same with a green pixel at (9, 5).
    Bitmap canvas;
    canvas.resize(16, 12, 0xFFFF0000u);
    const int timestamps[] = {0, 100, 250, 400};
    for (int k = 0; k < 3; ++k) {
        if (k == 1)
            for (int y = 4; y < 8; ++y)
                for (int x = 8; x < 12; ++x) canvas.row(y)[x] = 0xFF0000FFu;
        if (k == 2) canvas.row(5)[9] = 0xFF00FF00u;
        WebPPicture picture;
        ASSERT_TRUE(WebPPictureInit(&picture));
        picture.use_argb = 1;
        picture.width = 16;
        picture.height = 12;
        ASSERT_TRUE(WebPPictureImportBGRA(&picture, reinterpret_cast<const uint8_t*>(canvas.pixels.data()), 64));
        ASSERT_TRUE(WebPAnimEncoderAdd(encoder, &picture, timestamps[k], &config));
        WebPPictureFree(&picture);
    }
    ASSERT_TRUE(WebPAnimEncoderAdd(encoder, nullptr, timestamps[3], nullptr));
    WebPData data;
    WebPDataInit(&data);
    ASSERT_TRUE(WebPAnimEncoderAssemble(encoder, &data));
    const Bytes bytes(data.bytes, data.bytes + data.size);
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);

    const FrameSourcePtr source = qt::openWebpFrames(bytes);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->canvasWidth(), 16);
    EXPECT_EQ(source->canvasHeight(), 12);
    EXPECT_EQ(source->loopCount(), 3);
    const auto& frames = source->frames();
    ASSERT_EQ(frames.size(), 3u);
    const long delays[] = {100, 150, 150};
    // Each frame's own rectangle holds what changed, and its pixels there are the canvas's.
    const int changed[3][4] = {{0, 0, 16, 12}, {8, 4, 12, 8}, {9, 5, 10, 6}};
    for (int k = 0; k < 3; ++k) {
        const FrameInfo& f = frames[static_cast<size_t>(k)];
        EXPECT_EQ(f.delayMs, delays[k]) << k;
        EXPECT_LE(f.x, changed[k][0]) << k;
        EXPECT_LE(f.y, changed[k][1]) << k;
        EXPECT_GE(f.x + f.width, changed[k][2]) << k;
        EXPECT_GE(f.y + f.height, changed[k][3]) << k;
        EXPECT_LE(f.x + f.width, 16) << k;
        EXPECT_LE(f.y + f.height, 12) << k;
        const Bitmap pixels = source->decodeFrame(k);
        ASSERT_EQ(pixels.width, f.width) << k;
        ASSERT_EQ(pixels.height, f.height) << k;
        const uint32_t expected = k == 0 ? 0xFFFF0000u : k == 1 ? 0xFF0000FFu : 0xFF00FF00u;
        EXPECT_EQ(pixels.row(changed[k][1] - f.y)[changed[k][0] - f.x], expected) << k;
    }
    EXPECT_EQ(qt::openWebpFrames(webpLossless(sample(4, 4, true))), nullptr);
    // As a still, the animation shows its first frame.
    QtPlatformUnderTest platform;
    const Bitmap still = pixelsOf(LoadPicture(platform, platform.dir.write("anim.webp", bytes)));
    ASSERT_EQ(still.width, 16);
    EXPECT_EQ(still.row(6)[10], 0xFFFF0000u);
}
