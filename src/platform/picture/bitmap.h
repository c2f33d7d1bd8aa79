#pragma once
// A plain 32-bit pixel buffer, 0xAARRGGBB per pixel: the layout of Qt's RGB32/ARGB32 images
// and of a top-down 32-bit Windows DIB, so backends show it without converting.
#include <cstddef>
#include <cstdint>
#include <memory_resource>
#include <vector>

namespace mv {

struct Bitmap {
    Bitmap() = default;
    // Pixels kept in `memory`, e.g. memory a window system can show without a copy. A copy of
    // the bitmap keeps its pixels in ordinary memory.
    explicit Bitmap(std::pmr::memory_resource* memory) : pixels(memory) {}

    int width = 0;
    int height = 0;
    std::pmr::vector<uint32_t> pixels;

    void resize(int w, int h, uint32_t fill = 0xFF000000u) {
        width = w < 0 ? 0 : w;
        height = h < 0 ? 0 : h;
        pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
    }
    uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(width); }
    bool empty() const { return width == 0 || height == 0; }
};

// A colour value 0x00BBGGRR (red in the low byte) as an opaque pixel 0xFFRRGGBB.
inline uint32_t colorToPixel(int32_t color) {
    const uint32_t c = static_cast<uint32_t>(color);
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

}  // namespace mv
