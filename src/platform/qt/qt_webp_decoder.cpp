#include "platform/qt/qt_webp_decoder.h"

#include <webp/decode.h>

#include "platform/qt/qt_size_guard.h"

namespace mv::qt {

Bitmap decodeWebpPixels(const uint8_t* data, size_t size, int width, int height) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) || WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK)
        throw invalidPicture();
    if (width != config.input.width || height != config.input.height) {
        config.options.use_scaling = 1;
        config.options.scaled_width = width;
        config.options.scaled_height = height;
    }
    Bitmap bmp;
    bmp.resize(width, height);
    // MODE_BGRA is straight alpha, and 0xFF for an opaque picture.
    config.output.colorspace = MODE_BGRA;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = reinterpret_cast<uint8_t*>(bmp.pixels.data());
    config.output.u.RGBA.stride = width * 4;
    config.output.u.RGBA.size = bmp.pixels.size() * 4;
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) throw invalidPicture();
    return bmp;
}

PicturePtr decodeWebp(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(bytes.data(), bytes.size(), &features) != VP8_STATUS_OK) throw invalidPicture();
    // An animation's frames are read by its frame source, and its first frame is the still the
    // loader makes of them.
    if (features.has_animation) throw invalidPicture();
    refuseBeyondGuard(features.width, features.height);
    // A picture with alpha is kept whole, as by the other decoders.
    const PixelSize kept = keptSize(floor, features.width, features.height, !features.has_alpha);
    return std::make_shared<RgbPicture>(decodeWebpPixels(bytes.data(), bytes.size(), kept.width, kept.height));
}

}  // namespace mv::qt
