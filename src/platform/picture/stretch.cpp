#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/picture/picture.h"

namespace mv {

namespace {

constexpr int kWeightBits = 12;
constexpr int kOne = 1 << kWeightBits;

// For each destination index of one axis, the source indexes it draws from and their weights
// (summing to kOne): two neighbours when enlarging, the covered span when shrinking.
struct Axis {
    std::vector<int> first;  // per destination index: position in taps
    std::vector<int> count;
    std::vector<int> index;
    std::vector<int> weight;
};

Axis makeAxis(int srcSize, int dstSize, int from, int to) {
    Axis axis;
    const int64_t S = srcSize, D = dstSize;
    for (int i = from; i < to; ++i) {
        axis.first.push_back(static_cast<int>(axis.index.size()));
        if (D >= S) {
            // Sample at the destination pixel's centre, mapped into source coordinates.
            const int64_t num = (2 * i + 1) * S - D;  // source position in units of 1 / (2D)
            int64_t i0 = 0, frac = 0;
            if (num > 0) {
                i0 = num / (2 * D);
                frac = ((num % (2 * D)) * kOne) / (2 * D);
            }
            if (i0 >= S - 1) { i0 = S - 1; frac = 0; }
            axis.index.push_back(static_cast<int>(i0));
            axis.weight.push_back(static_cast<int>(kOne - frac));
            int n = 1;
            if (frac > 0) {
                axis.index.push_back(static_cast<int>(i0 + 1));
                axis.weight.push_back(static_cast<int>(frac));
                n = 2;
            }
            axis.count.push_back(n);
        } else {
            // Average every source pixel the destination pixel covers, by the share it covers.
            const int64_t lo = i * S, hi = (i + 1) * S;  // in units of 1 / D source pixels
            int64_t j = lo / D;
            int total = 0, n = 0;
            for (; j * D < hi && j < S; ++j) {
                const int64_t overlap = std::min(hi, (j + 1) * D) - std::max(lo, j * D);
                if (overlap <= 0) continue;
                const int w = static_cast<int>((overlap * kOne) / S);
                axis.index.push_back(static_cast<int>(j));
                axis.weight.push_back(w);
                total += w;
                ++n;
            }
            axis.weight.back() += kOne - total;
            axis.count.push_back(n);
        }
    }
    return axis;
}

inline uint32_t opaque(uint32_t p, uint32_t bg) { return (p >> 24) >= 0x80 ? p : bg; }

}  // namespace

// Separable resampling with integer weights: bilinear where the picture grows, area
// averaging where it shrinks. Transparent pixels take the background colour first.
void RgbPicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    if (w <= 0 || h <= 0 || pixels_.empty()) return;
    const uint32_t bg = colorToPixel(backColor);
    const int x0 = std::max(0, x), x1 = static_cast<int>(std::min<int64_t>(dst.width, int64_t{x} + w));
    const int y0 = std::max(0, y), y1 = static_cast<int>(std::min<int64_t>(dst.height, int64_t{y} + h));
    if (x0 >= x1 || y0 >= y1) return;

    const int sw = pixels_.width;
    const Axis ax = makeAxis(sw, w, x0 - x, x1 - x);
    const Axis ay = makeAxis(pixels_.height, h, y0 - y, y1 - y);

    // One source-width row of vertically blended channels, 8 extra bits of precision.
    std::vector<uint16_t> column(static_cast<size_t>(sw) * 3);
    std::vector<uint32_t> sum(static_cast<size_t>(sw) * 3);
    for (int dy = y0; dy < y1; ++dy) {
        const int r = dy - y0;
        std::fill(sum.begin(), sum.end(), 0u);
        for (int t = ay.first[r]; t < ay.first[r] + ay.count[r]; ++t) {
            const uint32_t* src = pixels_.row(ay.index[t]);
            const uint32_t wt = static_cast<uint32_t>(ay.weight[t]);
            uint32_t* s = sum.data();
            for (int sx = 0; sx < sw; ++sx, s += 3) {
                const uint32_t p = opaque(src[sx], bg);
                s[0] += ((p >> 16) & 0xFF) * wt;
                s[1] += ((p >> 8) & 0xFF) * wt;
                s[2] += (p & 0xFF) * wt;
            }
        }
        for (size_t i = 0; i < sum.size(); ++i)
            column[i] = static_cast<uint16_t>((sum[i] + (1u << (kWeightBits - 9))) >> (kWeightBits - 8));

        uint32_t* out = dst.row(dy);
        for (int dx = x0; dx < x1; ++dx) {
            const int c = dx - x0;
            uint32_t red = 0, green = 0, blue = 0;
            for (int t = ax.first[c]; t < ax.first[c] + ax.count[c]; ++t) {
                const uint16_t* s = column.data() + static_cast<size_t>(ax.index[t]) * 3;
                const uint32_t wt = static_cast<uint32_t>(ax.weight[t]);
                red += s[0] * wt;
                green += s[1] * wt;
                blue += s[2] * wt;
            }
            constexpr int shift = kWeightBits + 8;
            constexpr uint32_t half = 1u << (shift - 1);
            out[dx] = 0xFF000000u | std::min<uint32_t>(255, (red + half) >> shift) << 16 |
                      std::min<uint32_t>(255, (green + half) >> shift) << 8 | std::min<uint32_t>(255, (blue + half) >> shift);
        }
    }
}

}  // namespace mv
