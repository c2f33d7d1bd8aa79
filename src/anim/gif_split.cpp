#include "gif_split.h"

#include <cstring>

#include "../platform/error.h"

namespace mv::anim {

size_t findBoundary(const std::vector<uint8_t>& bytes, size_t start) {
    const size_t size = bytes.size();
    if (size < 3 || start > size - 3) return kNoBoundary;
    const uint8_t* base = bytes.data();
    const uint8_t* p = base + start;
    const uint8_t* last = base + size - 3;  // the last offset a boundary can start at
    while (p <= last) {
        p = static_cast<const uint8_t*>(std::memchr(p, 0x00, static_cast<size_t>(last - p) + 1));
        if (!p) return kNoBoundary;
        if (p[1] == 0x21 && p[2] == 0xF9) return static_cast<size_t>(p - base);
        ++p;
    }
    return kNoBoundary;
}

long chunkDelayMs(const uint8_t* chunk, size_t size, int frameIndex) {
    if (size < 5 || (frameIndex >= 1 && size < 12)) throw PlatformError(ErrSubscript, "Frame too short");
    return (static_cast<long>(chunk[3]) + 256L * chunk[4]) * 10;
}

}  // namespace mv::anim
