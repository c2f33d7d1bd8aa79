#include "platform/qt/qt_jxl_decoder.h"

#include <jxl/decode.h>

#include <memory>
#include <utility>

#include "platform/qt/qt_size_guard.h"

namespace mv::qt {

namespace {

struct FreeDecoder {
    void operator()(JxlDecoder* d) const { JxlDecoderDestroy(d); }
};

// libjxl writes R,G,B,A bytes; the bitmap holds B,G,R,A.
void swapRedBlue(Bitmap& bmp) {
    for (uint32_t& p : bmp.pixels) p = (p & 0xFF00FF00u) | (p & 0xFFu) << 16 | (p >> 16 & 0xFFu);
}

}  // namespace

PicturePtr decodeJxl(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    std::unique_ptr<JxlDecoder, FreeDecoder> decoder(JxlDecoderCreate(nullptr));
    JxlDecoder* dec = decoder.get();
    if (!dec ||
        JxlDecoderSubscribeEvents(dec, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE) !=
            JXL_DEC_SUCCESS ||
        JxlDecoderSetUnpremultiplyAlpha(dec, JXL_TRUE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(dec, bytes.data(), bytes.size()) != JXL_DEC_SUCCESS)
        throw invalidPicture();
    JxlDecoderCloseInput(dec);
    const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    JxlBasicInfo info{};
    PixelSize kept;
    Bitmap bmp;
    bool done = false;
    while (!done) {
        switch (JxlDecoderProcessInput(dec)) {
        case JXL_DEC_BASIC_INFO: {
            if (JxlDecoderGetBasicInfo(dec, &info) != JXL_DEC_SUCCESS) throw invalidPicture();
            // Orientations 5 to 8 turn the picture a quarter: the output has the sides swapped.
            if (info.orientation >= JXL_ORIENT_TRANSPOSE) std::swap(info.xsize, info.ysize);
            refuseBeyondGuard(info.xsize, info.ysize);
            // A picture with alpha is kept whole: averaging would mix see-through pixels' colours in.
            kept = keptSize(floor, static_cast<int>(info.xsize), static_cast<int>(info.ysize), info.alpha_bits == 0);
            break;
        }
        case JXL_DEC_COLOR_ENCODING: {
            // A picture stored as sRGB, or with sRGB's colours and a display gamma (as many
            // PNGs are), comes out in its stored numbers as the reference decoder gives them and
            // as other formats' pictures are shown. Any other (an ICC profile, linear light, a
            // wide gamut) is asked for as sRGB, what the screen shows.
            JxlColorEncoding original{};
            const bool stored = JxlDecoderGetColorAsEncodedProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL,
                                                                   &original) == JXL_DEC_SUCCESS;
            if (stored && original.white_point == JXL_WHITE_POINT_D65 &&
                (original.color_space == JXL_COLOR_SPACE_GRAY || original.primaries == JXL_PRIMARIES_SRGB) &&
                (original.transfer_function == JXL_TRANSFER_FUNCTION_SRGB ||
                 (original.transfer_function == JXL_TRANSFER_FUNCTION_GAMMA && original.gamma > 0.3 && original.gamma < 0.6)))
                break;
            JxlColorEncoding srgb{};
            srgb.color_space = info.num_color_channels == 1 ? JXL_COLOR_SPACE_GRAY : JXL_COLOR_SPACE_RGB;
            srgb.white_point = JXL_WHITE_POINT_D65;
            srgb.primaries = JXL_PRIMARIES_SRGB;
            srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
            srgb.rendering_intent = JXL_RENDERING_INTENT_RELATIVE;
            // Only a preference: declined for pictures whose colours are coded as stored.
            JxlDecoderSetPreferredColorProfile(dec, &srgb);
            break;
        }
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER: {
            size_t need = 0;
            if (JxlDecoderImageOutBufferSize(dec, &format, &need) != JXL_DEC_SUCCESS ||
                need != size_t{info.xsize} * info.ysize * 4)
                throw invalidPicture();
            bmp.resize(static_cast<int>(info.xsize), static_cast<int>(info.ysize));
            if (JxlDecoderSetImageOutBuffer(dec, &format, bmp.pixels.data(), need) != JXL_DEC_SUCCESS)
                throw invalidPicture();
            break;
        }
        case JXL_DEC_FULL_IMAGE:
            if (bmp.empty()) throw invalidPicture();
            done = true;
            break;
        default:
            // An error, or input ending before the first frame did.
            throw invalidPicture();
        }
    }
    // Only the first frame is wanted; the decoder's own memory goes before any reduction.
    decoder.reset();
    swapRedBlue(bmp);
    if (kept.width >= bmp.width || kept.height >= bmp.height) return std::make_shared<RgbPicture>(std::move(bmp));
    const Bitmap whole = std::move(bmp);
    return std::make_shared<RgbPicture>(KeepDecoded(
        whole.width, whole.height, [kept](int, int) { return kept; }, [&whole](int y, uint32_t*) { return whole.row(y); }));
}

}  // namespace mv::qt
