#include "platform/ui/app_icon.h"

#include <algorithm>

namespace mv {

namespace {

uint32_t u16(const std::vector<uint8_t>& b, size_t o) { return b[o] | b[o + 1] << 8; }
uint32_t u32(const std::vector<uint8_t>& b, size_t o) {
    return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24;
}

// One palette image (1, 4 or 8 bits a pixel) with its transparency mask.
bool decodeImage(const std::vector<uint8_t>& b, size_t offset, size_t size, Bitmap& out) {
    if (offset > b.size() || size > b.size() - offset || size < 40) return false;
    if (u32(b, offset) != 40) return false;
    const auto width = static_cast<int32_t>(u32(b, offset + 4));
    const auto height2 = static_cast<int32_t>(u32(b, offset + 8));
    const uint32_t bits = u16(b, offset + 14);
    if (width <= 0 || width > 256 || height2 <= 0 || height2 > 512 || height2 % 2) return false;
    if (bits != 1 && bits != 4 && bits != 8) return false;
    if (u32(b, offset + 16) != 0) return false;  // compressed
    const int height = height2 / 2;
    uint32_t colors = u32(b, offset + 32);
    if (colors == 0 || colors > (1u << bits)) colors = 1u << bits;
    const size_t palette = offset + 40;
    const size_t xorStride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t andStride = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t pixels = palette + colors * 4;
    const size_t mask = pixels + xorStride * static_cast<size_t>(height);
    if (mask + andStride * static_cast<size_t>(height) > offset + size) return false;
    out.resize(width, height, 0);
    for (int y = 0; y < height; ++y) {
        const size_t row = static_cast<size_t>(height - 1 - y);  // bottom-up
        for (int x = 0; x < width; ++x) {
            const size_t bit = static_cast<size_t>(x) * bits;
            const uint8_t byte = b[pixels + row * xorStride + bit / 8];
            const uint32_t index = (byte >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            const bool clear = (b[mask + row * andStride + static_cast<size_t>(x) / 8] >> (7 - x % 8)) & 1;
            if (clear || index >= colors) continue;
            const size_t p = palette + index * 4;
            out.row(y)[x] = 0xFF000000u | static_cast<uint32_t>(b[p + 2]) << 16 | b[p + 1] << 8 | b[p];
        }
    }
    return true;
}

}  // namespace

std::vector<Bitmap> decodeIcon(const std::vector<uint8_t>& b) {
    std::vector<Bitmap> images;
    if (b.size() < 6 || u16(b, 0) != 0 || u16(b, 2) != 1) return images;
    const size_t count = u16(b, 4);
    if (6 + 16 * count > b.size()) return images;
    for (size_t i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * i;
        Bitmap image;
        if (decodeImage(b, u32(b, entry + 12), u32(b, entry + 8), image)) images.push_back(std::move(image));
    }
    std::stable_sort(images.begin(), images.end(), [](const Bitmap& x, const Bitmap& y) { return x.width > y.width; });
    return images;
}

}  // namespace mv
