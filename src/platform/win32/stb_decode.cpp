#include "stb_decode.h"

#include <climits>
#include <memory>

#include "platform/error.h"

#include <stb/stb_image.h>

namespace mv::win32 {

PicturePtr decodeStillStb(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        throw PlatformError(ErrInvalidPicture, "Invalid picture");
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &w, &h, &channels)) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide ||
        static_cast<int64_t>(w) * h > kMaxPicturePixels)
        throw PlatformError(ErrInvalidPicture, "Picture too large");

    std::unique_ptr<stbi_uc, void (*)(void*)> rgba(stbi_load_from_memory(data, size, &w, &h, &channels, 4),
                                                   stbi_image_free);
    if (!rgba) throw PlatformError(ErrInvalidPicture, "Invalid picture");

    // Still pictures are opaque: a BMP's spare fourth byte is not transparency.
    Bitmap out;
    out.resize(w, h);
    const stbi_uc* p = rgba.get();
    for (size_t i = 0, n = out.pixels.size(); i < n; ++i, p += 4)
        out.pixels[i] = 0xFF000000u | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[2]};
    return std::make_shared<RgbPicture>(std::move(out));
}

}  // namespace mv::win32
