#include "platform/qt/qt_heif_decoder.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/qt/qt_size_guard.h"

namespace mv::qt {

namespace {

std::once_flag started;
bool running = false;

template <class T, void (*Free)(T*)>
struct Freed {
    void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Freed<T, Free>>;

void freeContext(heif_context* c) { heif_context_free(c); }
void freeHandle(heif_image_handle* h) { heif_image_handle_release(h); }
void freeImage(heif_image* i) { heif_image_release(i); }
void freeOptions(heif_decoding_options* o) { heif_decoding_options_free(o); }

bool ok(const heif_error& e) { return e.code == heif_error_Ok; }

// Straight alpha from a premultiplied pixel.
uint8_t unpremultiplied(uint8_t c, uint8_t a) { return a == 0 ? 0 : static_cast<uint8_t>(std::min(255, (c * 255 + a / 2) / a)); }

}  // namespace

void startHeif() {
    std::call_once(started, [] { running = ok(heif_init(nullptr)); });
}

void stopHeif() {
    if (running) heif_deinit();
    running = false;
}

PicturePtr decodeHeif(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    startHeif();
    Owned<heif_context, freeContext> context(heif_context_alloc());
    if (!context) throw invalidPicture();
    // libheif refuses larger images itself while it reads the boxes, before any pixel memory.
    heif_context_set_maximum_image_size_limit(context.get(), kMaxPictureSide);
    if (!ok(heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr)))
        throw invalidPicture();
    heif_image_handle* rawHandle = nullptr;
    if (!ok(heif_context_get_primary_image_handle(context.get(), &rawHandle))) throw invalidPicture();
    const Owned<heif_image_handle, freeHandle> handle(rawHandle);
    refuseBeyondGuard(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get()));
    // What is decoded before any crop: a small crop window may hide a huge coded picture.
    const int codedWidth = heif_image_handle_get_ispe_width(handle.get());
    const int codedHeight = heif_image_handle_get_ispe_height(handle.get());
    if (codedWidth > 0 || codedHeight > 0) refuseBeyondGuard(codedWidth, codedHeight);
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    const bool premultiplied = alpha && heif_image_handle_is_premultiplied_alpha(handle.get()) != 0;
    // A picture with alpha is kept whole: averaging would mix the colours of see-through pixels in.
    const PixelSize kept = keptSize(floor, heif_image_handle_get_width(handle.get()),
                                    heif_image_handle_get_height(handle.get()), !alpha);

    const Owned<heif_decoding_options, freeOptions> options(heif_decoding_options_alloc());
    if (!options) throw invalidPicture();
    options->convert_hdr_to_8bit = 1;
    heif_image* rawImage = nullptr;
    if (!ok(heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get())))
        throw invalidPicture();
    const Owned<heif_image, freeImage> image(rawImage);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    refuseBeyondGuard(width, height);
    const int channels = alpha ? 4 : 3;
    if (!plane || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 ||
        stride < width * channels)
        throw invalidPicture();

    if (!alpha) {
        // The floor was asked for the declared size; the decoded one is what is read.
        const DecodeFloor toKept = [&](int, int) { return kept; };
        const bool reduce = kept.width < width && kept.height < height;
        return std::make_shared<RgbPicture>(
            KeepDecoded(width, height, reduce ? toKept : DecodeFloor{}, [&](int y, uint32_t* scratch) {
                const uint8_t* p = plane + static_cast<size_t>(y) * static_cast<size_t>(stride);
                for (int x = 0; x < width; ++x, p += 3)
                    scratch[x] = 0xFF000000u | uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2];
                return scratch;
            }));
    }
    Bitmap bmp;
    bmp.resize(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* p = plane + static_cast<size_t>(y) * static_cast<size_t>(stride);
        uint32_t* out = bmp.row(y);
        for (int x = 0; x < width; ++x, p += 4) {
            const uint8_t a = p[3];
            const uint8_t r = premultiplied ? unpremultiplied(p[0], a) : p[0];
            const uint8_t g = premultiplied ? unpremultiplied(p[1], a) : p[1];
            const uint8_t b = premultiplied ? unpremultiplied(p[2], a) : p[2];
            out[x] = uint32_t{a} << 24 | uint32_t{r} << 16 | uint32_t{g} << 8 | b;
        }
    }
    return std::make_shared<RgbPicture>(std::move(bmp));
}

}  // namespace mv::qt
