#include "platform/qt/qt_webp_decoder.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

#include "platform/qt/qt_size_guard.h"

namespace mv::qt {

namespace {

struct FreeAnimDecoder {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

// The first frame composed on the canvas, as an animation's player would show it first.
Bitmap firstFrame(const std::vector<uint8_t>& bytes) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) throw invalidPicture();
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    const WebPData data{bytes.data(), bytes.size()};
    const std::unique_ptr<WebPAnimDecoder, FreeAnimDecoder> decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) throw invalidPicture();
    refuseBeyondGuard(info.canvas_width, info.canvas_height);
    uint8_t* pixels = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp) || !pixels) throw invalidPicture();
    Bitmap bmp;
    bmp.resize(static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height));
    std::memcpy(bmp.pixels.data(), pixels, bmp.pixels.size() * 4);
    return bmp;
}

}  // namespace

PicturePtr decodeWebp(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) || WebPGetFeatures(bytes.data(), bytes.size(), &config.input) != VP8_STATUS_OK)
        throw invalidPicture();
    refuseBeyondGuard(config.input.width, config.input.height);
    // A picture with alpha is kept whole, as by the other decoders.
    const PixelSize kept =
        keptSize(floor, config.input.width, config.input.height, !config.input.has_animation && !config.input.has_alpha);
    if (config.input.has_animation) return std::make_shared<RgbPicture>(firstFrame(bytes));
    if (kept.width < config.input.width) {
        config.options.use_scaling = 1;
        config.options.scaled_width = kept.width;
        config.options.scaled_height = kept.height;
    }
    Bitmap bmp;
    bmp.resize(kept.width, kept.height);
    // MODE_BGRA is straight alpha, and 0xFF for an opaque picture.
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(bmp.pixels.data());
    config.output.u.RGBA.stride = kept.width * 4;
    config.output.u.RGBA.size = bmp.pixels.size() * 4;
    const VP8StatusCode status = WebPDecode(bytes.data(), bytes.size(), &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) throw invalidPicture();
    return std::make_shared<RgbPicture>(std::move(bmp));
}

}  // namespace mv::qt
