// libFuzzer target for the stretch every picture is painted with: random source and target
// sizes, ratios from 32767 : 1 down to 1 : 16000, random clips and pixels, each painted pixel
// held to a double-precision reference of the same filter (bilinear at pixel centres where an
// axis grows, the exact covered share where it shrinks) within 4/255 on every channel. Pixels
// outside the target rectangle or the canvas must keep their colour.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/picture/resample.h"

namespace {

// Source pixels and painted pixels a case may have: small enough for thousands of cases a
// second under the sanitizers, with either side still free to reach 32767.
constexpr int64_t kSourcePixels = int64_t{1} << 16;
constexpr int64_t kPaintedPixels = int64_t{1} << 14;

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint32_t next(int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v = v << 8 | (at < size ? data[at++] : 0u);
        return v;
    }
};

// A side length: often small, sometimes near the limit, so extreme ratios come up often.
int sideFrom(Reader& in) {
    const uint32_t kind = in.next(1), v = in.next(2);
    switch (kind % 4) {
        case 0: return 1 + static_cast<int>(v % 8);
        case 1: return 1 + static_cast<int>(v % 300);
        case 2: return 32767 - static_cast<int>(v % 64);
        default: return 1 + static_cast<int>(v % 32767);
    }
}

// For each destination index of one axis in [from, to), the source indexes and weights.
struct Taps {
    std::vector<std::vector<std::pair<int, double>>> of;
};

Taps reference(int S, int64_t D, int64_t from, int64_t to) {
    Taps t;
    for (int64_t i = from; i < to; ++i) {
        std::vector<std::pair<int, double>> w;
        if (D >= S) {
            const double pos = (static_cast<double>(i) + 0.5) * S / static_cast<double>(D) - 0.5;
            if (pos <= 0) {
                w.push_back({0, 1.0});
            } else {
                const double i0 = std::floor(pos);
                const double f = pos - i0;
                if (i0 >= S - 1) {
                    w.push_back({S - 1, 1.0});
                } else {
                    w.push_back({static_cast<int>(i0), 1.0 - f});
                    w.push_back({static_cast<int>(i0) + 1, f});
                }
            }
        } else {
            const double lo = static_cast<double>(i) * S / static_cast<double>(D);
            const double hi = static_cast<double>(i + 1) * S / static_cast<double>(D);
            const double span = hi - lo;
            for (int j = static_cast<int>(std::floor(lo)); j < S && j < hi; ++j) {
                const double overlap = std::min<double>(hi, j + 1) - std::max<double>(lo, j);
                if (overlap > 0) w.push_back({j, overlap / span});
            }
        }
        t.of.push_back(std::move(w));
    }
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in{data, size};
    int srcW = sideFrom(in), srcH = sideFrom(in);
    if (int64_t{srcW} * srcH > kSourcePixels) (srcW > srcH ? srcW : srcH) = static_cast<int>(kSourcePixels / std::min(srcW, srcH));
    const int w = 1 + static_cast<int>(in.next(2) % 16000), h = 1 + static_cast<int>(in.next(2) % 16000);
    // The canvas and where the target lies on it: often the whole target, sometimes clipped.
    const int canvasW = 1 + static_cast<int>(in.next(2) % 16000), canvasH = 1 + static_cast<int>(in.next(2) % 16000);
    const int x = static_cast<int>(in.next(2) % 64) - 32, y = static_cast<int>(in.next(2) % 64) - 32;
    const int64_t x0 = std::max(0, x), x1 = std::min<int64_t>(canvasW, int64_t{x} + w);
    const int64_t y0 = std::max(0, y), y1 = std::min<int64_t>(canvasH, int64_t{y} + h);
    if (x0 >= x1 || y0 >= y1 || (x1 - x0) * (y1 - y0) > kPaintedPixels || int64_t{canvasW} * canvasH > 4 * kPaintedPixels)
        return -1;

    // Pixels: noise, black and white (the largest steps), or a smooth ramp, from a seed.
    const uint32_t pattern = in.next(1) % 3;
    uint32_t seed = in.next(4) | 1u;
    mv::Bitmap src;
    src.resize(srcW, srcH);
    for (int sy = 0; sy < srcH; ++sy)
        for (int sx = 0; sx < srcW; ++sx) {
            seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5;
            uint32_t p = seed;
            if (pattern == 1) p = (seed & 1u) ? 0xFFFFFFu : 0u;
            if (pattern == 2) p = static_cast<uint32_t>((sx * 255 / srcW) << 16 | (sy * 255 / srcH) << 8 | ((sx + sy) & 0xFF));
            src.row(sy)[sx] = 0xFF000000u | (p & 0xFFFFFFu);
        }

    constexpr uint32_t kCanary = 0x12345678u;
    mv::Bitmap dst;
    dst.resize(canvasW, canvasH, kCanary);
    mv::resampleInto(dst, x, y, w, h, srcW, srcH, [&](int sy, uint32_t*) -> const uint32_t* {
        if (sy < 0 || sy >= srcH) __builtin_trap();
        return src.row(sy);
    });

    const Taps tx = reference(srcW, w, x0 - x, x1 - x), ty = reference(srcH, h, y0 - y, y1 - y);
    const size_t n = static_cast<size_t>(x1 - x0), m = static_cast<size_t>(y1 - y0);
    std::vector<double> expect(n * m * 3, 0.0);
    // The cheaper order of the two separable passes; the sums are the same either way.
    if (static_cast<size_t>(srcW) <= n) {
        std::vector<double> rows(static_cast<size_t>(srcW) * 3);
        for (size_t r = 0; r < m; ++r) {
            std::fill(rows.begin(), rows.end(), 0.0);
            for (const auto& [sy, wy] : ty.of[r])
                for (int sx = 0; sx < srcW; ++sx)
                    for (int k = 0; k < 3; ++k) rows[static_cast<size_t>(sx) * 3 + k] += wy * ((src.row(sy)[sx] >> (8 * k)) & 0xFF);
            for (size_t c = 0; c < n; ++c)
                for (const auto& [sx, wx] : tx.of[c])
                    for (int k = 0; k < 3; ++k) expect[(r * n + c) * 3 + k] += wx * rows[static_cast<size_t>(sx) * 3 + k];
        }
    } else {
        std::vector<double> cols;
        std::vector<int> across(static_cast<size_t>(srcH), -1);  // source row -> its stretched row
        std::vector<std::vector<double>> stretched;
        for (size_t r = 0; r < m; ++r)
            for (const auto& [sy, wy] : ty.of[r]) {
                if (across[static_cast<size_t>(sy)] < 0) {
                    std::vector<double> row(n * 3, 0.0);
                    for (size_t c = 0; c < n; ++c)
                        for (const auto& [sx, wx] : tx.of[c])
                            for (int k = 0; k < 3; ++k) row[c * 3 + k] += wx * ((src.row(sy)[sx] >> (8 * k)) & 0xFF);
                    across[static_cast<size_t>(sy)] = static_cast<int>(stretched.size());
                    stretched.push_back(std::move(row));
                }
                const auto& row = stretched[static_cast<size_t>(across[static_cast<size_t>(sy)])];
                for (size_t i = 0; i < n * 3; ++i) expect[r * n * 3 + i] += wy * row[i];
            }
    }

    for (int64_t py = 0; py < canvasH; ++py)
        for (int64_t px = 0; px < canvasW; ++px) {
            const uint32_t got = dst.row(static_cast<int>(py))[px];
            if (px < x0 || px >= x1 || py < y0 || py >= y1) {
                if (got != kCanary) __builtin_trap();
                continue;
            }
            if (got >> 24 != 0xFF) __builtin_trap();
            const size_t at = (static_cast<size_t>(py - y0) * n + static_cast<size_t>(px - x0)) * 3;
            for (int k = 0; k < 3; ++k)
                if (std::fabs(static_cast<double>((got >> (8 * k)) & 0xFF) - expect[at + k]) > 4.0) {
                    std::fprintf(stderr, "%dx%d -> %dx%d at %d,%d on %dx%d: pixel %lld,%lld channel %d is %u, reference %.3f\n",
                                 srcW, srcH, w, h, x, y, canvasW, canvasH, static_cast<long long>(px),
                                 static_cast<long long>(py), k, (got >> (8 * k)) & 0xFF, expect[at + k]);
                    __builtin_trap();
                }
        }
    return 0;
}
