#include "platform/picture/decode_size.h"

#include <algorithm>
#include <cstdint>

namespace mv {

int DecodeEighths(int width, int height, PixelSize floor, std::initializer_list<int> eighths) {
    int best = 8;
    for (const int m : eighths) {
        if (m < 1 || m >= best) continue;
        const int64_t w = int64_t{width} * m, h = int64_t{height} * m;
        if (w % 8 == 0 && h % 8 == 0 && w / 8 >= floor.width && h / 8 >= floor.height) best = m;
    }
    return best;
}

Bitmap KeepDecoded(int width, int height, const DecodeFloor& floor, const SourceRows& rows) {
    Bitmap kept;
    if (floor) {
        const PixelSize least = floor(width, height);
        if (least.width > 0 && least.height > 0 && least.width < width && least.height < height) {
            kept.resize(least.width, least.height);
            resampleInto(kept, 0, 0, least.width, least.height, width, height, rows);
            return kept;
        }
    }
    kept.resize(width, height);
    std::vector<uint32_t> scratch(static_cast<size_t>(std::max(width, 0)));
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = rows(y, scratch.data());
        std::copy(row, row + width, kept.row(y));
    }
    return kept;
}

}  // namespace mv
