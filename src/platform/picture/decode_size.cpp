#include "platform/picture/decode_size.h"

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

}  // namespace mv
