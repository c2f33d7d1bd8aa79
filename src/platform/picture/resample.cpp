#include "platform/picture/resample.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

namespace mv {

namespace {

// Weights are fixed point with this many fraction bits: enough that shrinking 32767 pixels into
// one still weighs each of them, and few enough that 255 times a full weight, summed, fits
// 32 bits.
constexpr int kWeightBits = 23;
constexpr int kOne = 1 << kWeightBits;

// For each destination index of one axis, the source indexes it draws from and their weights
// (summing to kOne): two neighbours when enlarging, the covered span when shrinking.
struct Axis {
    std::vector<int> first;  // per destination index: position in index and weight
    std::vector<int> count;
    std::vector<int> index;
    std::vector<int> weight;
    int maxCount = 0;
    bool identity = false;  // same size: destination index i is source index i
    // When enlarging, per destination index: the left neighbour, the weight of the right one in
    // 1/256 (rows), and the pair of weights in 1/64 once per channel (columns); the left
    // neighbour is the last pixel from index `lastPair` on.
    std::vector<int> left;
    std::vector<uint16_t> share;
    std::vector<uint8_t> pairWeight;
    size_t lastPair = 0;
};

Axis makeAxis(int srcSize, int dstSize, int from, int to) {
    Axis axis;
    axis.identity = srcSize == dstSize;
    const int64_t S = srcSize, D = dstSize;
    const size_t n = static_cast<size_t>(to - from);
    axis.first.reserve(n);
    axis.count.reserve(n);
    for (int i = from; i < to; ++i) {
        axis.first.push_back(static_cast<int>(axis.index.size()));
        int taps = 0;
        if (D >= S) {
            // Sample at the destination pixel's centre, mapped into source coordinates.
            const int64_t num = (2 * int64_t{i} + 1) * S - D;  // source position in units of 1 / (2D)
            int64_t i0 = 0, frac = 0;
            if (num > 0) {
                i0 = num / (2 * D);
                frac = ((num % (2 * D)) * kOne) / (2 * D);
            }
            if (i0 >= S - 1) { i0 = S - 1; frac = 0; }
            axis.index.push_back(static_cast<int>(i0));
            axis.weight.push_back(static_cast<int>(kOne - frac));
            taps = 1;
            if (frac > 0) {
                axis.index.push_back(static_cast<int>(i0 + 1));
                axis.weight.push_back(static_cast<int>(frac));
                taps = 2;
            }
        } else {
            // Average every source pixel the destination pixel covers, by the share it covers.
            // Each weight is the step between rounded running totals of the shares, so the
            // weights add up to exactly kOne and no rounding piles up on one pixel.
            const int64_t lo = i * S, hi = (i + 1) * S;  // in units of 1 / D source pixels
            int64_t covered = 0, placed = 0;
            for (int64_t j = lo / D; j * D < hi && j < S; ++j) {
                const int64_t overlap = std::min(hi, (j + 1) * D) - std::max(lo, j * D);
                if (overlap <= 0) continue;
                covered += overlap;
                const int64_t upTo = (covered * kOne + S / 2) / S;
                axis.index.push_back(static_cast<int>(j));
                axis.weight.push_back(static_cast<int>(upTo - placed));
                placed = upTo;
                ++taps;
            }
        }
        axis.count.push_back(taps);
        axis.maxCount = std::max(axis.maxCount, taps);
    }
    if (axis.maxCount <= 2) {
        axis.lastPair = n;
        for (size_t c = 0; c < n; ++c) {
            const size_t t = static_cast<size_t>(axis.first[c]);
            const int right = axis.count[c] == 2 ? axis.weight[t + 1] : 0;
            const auto f = static_cast<uint16_t>((right + (1 << (kWeightBits - 9))) >> (kWeightBits - 8));
            axis.left.push_back(axis.index[t]);
            axis.share.push_back(f);
            // In 1/64: the byte multiply-add takes signed weights, so 128 would not fit.
            const auto r = static_cast<uint8_t>((right + (1 << (kWeightBits - 7))) >> (kWeightBits - 6));
            for (int k = 0; k < 4; ++k) {
                axis.pairWeight.push_back(static_cast<uint8_t>(64 - r));
                axis.pairWeight.push_back(r);
            }
            if (axis.index[t] == srcSize - 1) axis.lastPair = std::min(axis.lastPair, c);
        }
    }
    return axis;
}

// Axis tables depend only on the sizes and the clip, which stay the same from one frame of an
// animation to the next: they are made once and kept, a few at a time (two per monitor).
std::shared_ptr<const Axis> axisFor(int srcSize, int dstSize, int from, int to) {
    struct Entry {
        std::array<int, 4> key;
        std::shared_ptr<const Axis> axis;
    };
    static std::mutex lock;
    static std::vector<Entry> recent;  // most recently used last
    constexpr size_t kKept = 8;
    const std::array<int, 4> key{srcSize, dstSize, from, to};
    std::lock_guard<std::mutex> hold(lock);
    for (size_t i = 0; i < recent.size(); ++i) {
        if (recent[i].key != key) continue;
        std::rotate(recent.begin() + static_cast<std::ptrdiff_t>(i), recent.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                    recent.end());
        return recent.back().axis;
    }
    auto made = std::make_shared<const Axis>(makeAxis(srcSize, dstSize, from, to));
    if (recent.size() == kKept) recent.erase(recent.begin());
    recent.push_back({key, made});
    return made;
}

// out = (a * (256 - f) + b * f + 128) / 256 byte by byte; both neighbours fit 16-bit lanes.
// The destination is written past the caches (it is far larger than they are, and the next to
// read it is the window system), which also spares reading it in before it is written.
void blendBytes(const uint8_t* a, const uint8_t* b, uint32_t f, uint8_t* out, size_t bytes) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(128);
    const __m128i wa = _mm_set1_epi16(static_cast<short>(256 - f)), wb = _mm_set1_epi16(static_cast<short>(f));
    const auto blend16 = [&](size_t at) {
        const __m128i va = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + at));
        const __m128i vb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + at));
        const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(va, zero), wa),
                                                                      _mm_mullo_epi16(_mm_unpacklo_epi8(vb, zero), wb)), half), 8);
        const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(va, zero), wa),
                                                                      _mm_mullo_epi16(_mm_unpackhi_epi8(vb, zero), wb)), half), 8);
        return _mm_packus_epi16(lo, hi);
    };
    if (bytes >= 16 && (reinterpret_cast<uintptr_t>(out) & 3) == 0) {
        // Pixel by pixel up to a 16-byte boundary, then whole aligned vectors.
        for (; (reinterpret_cast<uintptr_t>(out + i) & 15) != 0; ++i)
            out[i] = static_cast<uint8_t>((a[i] * (256 - f) + b[i] * f + 128) >> 8);
        for (; i + 16 <= bytes; i += 16) _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), blend16(i));
        _mm_sfence();
    }
    for (; i + 16 <= bytes; i += 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), blend16(i));
#endif
    for (; i < bytes; ++i) out[i] = static_cast<uint8_t>((a[i] * (256 - f) + b[i] * f + 128) >> 8);
}

// A copy written past the caches, as blendBytes writes.
void copyPixels(uint32_t* out, const uint32_t* from, size_t n) {
    size_t i = 0;
#if defined(__SSE2__)
    if (n >= 4) {
        for (; i < n && (reinterpret_cast<uintptr_t>(out + i) & 15) != 0; ++i) out[i] = from[i];
        for (; i + 4 <= n; i += 4)
            _mm_stream_si128(reinterpret_cast<__m128i*>(out + i), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)));
        _mm_sfence();
    }
#endif
    for (; i < n; ++i) out[i] = from[i];
}

#if defined(__x86_64__) || defined(__i386__)
bool hasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// Columns [0, n) rounded down to fours: each column's neighbour pair interleaved channel by
// channel and multiplied-and-added with its weights in one step.
__attribute__((target("ssse3"))) size_t blendPairsSsse3(const uint32_t* src, const int* left, const uint8_t* weights,
                                                         uint32_t* out, size_t n) {
    const __m128i order = _mm_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m128i half = _mm_set1_epi16(32);
    size_t c = 0;
    for (; c + 4 <= n; c += 4) {
        __m128i blended[2];
        for (size_t h = 0; h < 2; ++h) {
            const size_t k = c + 2 * h;
            __m128i p = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(src + left[k]));
            p = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(p), reinterpret_cast<const double*>(src + left[k + 1])));
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weights + 8 * k));
            blended[h] = _mm_srli_epi16(_mm_add_epi16(_mm_maddubs_epi16(_mm_shuffle_epi8(p, order), w), half), 6);
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_packus_epi16(blended[0], blended[1]));
    }
    return c;
}
#endif

// Where every destination index draws on at most two neighbours (enlarging).
bool blendsTwo(const Axis& axis) { return axis.maxCount <= 2; }

// One source row stretched across the destination columns. When enlarging, the two neighbours
// of every column are gathered into rows of their own and blended byte by byte with the
// column's weights, a vector at a time.
void stretchRow(const uint32_t* src, const Axis& ax, uint32_t* out) {
    const size_t n = ax.first.size();
    const int* index = ax.index.data();
    if (ax.identity) {
        std::memcpy(out, src + (n ? index[0] : 0), n * sizeof(uint32_t));
        return;
    }
    if (blendsTwo(ax)) {
        const size_t lastPair = ax.lastPair;
        size_t c = 0;
#if defined(__x86_64__) || defined(__i386__)
        if (hasSsse3()) c = blendPairsSsse3(src, ax.left.data(), ax.pairWeight.data(), out, lastPair);
#endif
        const int* left = ax.left.data();
        const uint8_t* pw = ax.pairWeight.data();
        for (; c < lastPair; ++c) {
            const uint8_t* l = reinterpret_cast<const uint8_t*>(src + left[c]);
            uint8_t* o = reinterpret_cast<uint8_t*>(out + c);
            const int wl = pw[8 * c], wr = pw[8 * c + 1];
            for (int k = 0; k < 4; ++k) o[k] = static_cast<uint8_t>((l[k] * wl + l[k + 4] * wr + 32) >> 6);
        }
        for (; c < n; ++c) out[c] = src[left[c]];
        return;
    }
    const int* weight = ax.weight.data();
    for (size_t c = 0; c < n; ++c) {
        uint32_t red = 0, green = 0, blue = 0;
        for (int t = ax.first[c], end = t + ax.count[c]; t < end; ++t) {
            const uint32_t p = src[index[t]];
            const uint32_t wt = static_cast<uint32_t>(weight[t]);
            red += ((p >> 16) & 0xFF) * wt;
            green += ((p >> 8) & 0xFF) * wt;
            blue += (p & 0xFF) * wt;
        }
        constexpr uint32_t half = 1u << (kWeightBits - 1);
        out[c] = 0xFF000000u | std::min<uint32_t>(255, (red + half) >> kWeightBits) << 16 |
                 std::min<uint32_t>(255, (green + half) >> kWeightBits) << 8 |
                 std::min<uint32_t>(255, (blue + half) >> kWeightBits);
    }
}

// acc[i] += s[i] * weight over `bytes` channel bytes: one source row's share of a running sum.
void accumulate(const uint8_t* s, uint32_t weight, uint32_t* acc, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) acc[i] += s[i] * weight;
}

// A running sum of whole weights back to channel bytes, rounded.
void roundSums(const uint32_t* acc, uint8_t* out, size_t bytes) {
    constexpr uint32_t half = 1u << (kWeightBits - 1);
    for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>(std::min<uint32_t>(255, (acc[i] + half) >> kWeightBits));
}

// Shrinking rows into a target at least as wide as the source: the covered source rows are
// averaged first, at the source's width, and only their average is stretched across, so the
// work and memory follow the narrower of the two widths.
void averageRowsFirst(Bitmap& dst, int x0, int y0, int y1, int srcW, const Axis& ax, const Axis& ay,
                      const SourceRows& rows) {
    const size_t bytes = static_cast<size_t>(srcW) * 4;
    std::vector<uint32_t> scratch(static_cast<size_t>(srcW)), averaged(static_cast<size_t>(srcW)), sum(bytes);
    for (int dy = y0; dy < y1; ++dy) {
        const size_t r = static_cast<size_t>(dy - y0);
        std::fill(sum.begin(), sum.end(), 0u);
        for (int t = ay.first[r], end = t + ay.count[r]; t < end; ++t) {
            const auto* s = reinterpret_cast<const uint8_t*>(rows(ay.index[static_cast<size_t>(t)], scratch.data()));
            accumulate(s, static_cast<uint32_t>(ay.weight[static_cast<size_t>(t)]), sum.data(), bytes);
        }
        roundSums(sum.data(), reinterpret_cast<uint8_t*>(averaged.data()), bytes);
        stretchRow(averaged.data(), ax, dst.row(dy) + x0);
    }
}

}  // namespace

bool missesTarget(const Bitmap& dst, int x, int y, int w, int h) {
    return w <= 0 || h <= 0 || dst.empty() || x >= dst.width || y >= dst.height || int64_t{x} + w <= 0 ||
           int64_t{y} + h <= 0;
}

// Separable, rows first: each source row in use is stretched across once into a ring of two
// stretched rows, and each destination row blends the ones it covers, shrinking by a running
// sum; memory is a few rows of the target's width whatever the ratio.
void resampleInto(Bitmap& dst, int x, int y, int w, int h, int srcW, int srcH, const SourceRows& rows) {
    resampleClipped(dst, {0, 0, dst.width, dst.height}, x, y, w, h, srcW, srcH, rows);
}

void resampleClipped(Bitmap& dst, const Clip& clip, int x, int y, int w, int h, int srcW, int srcH, const SourceRows& rows) {
    if (w <= 0 || h <= 0 || srcW <= 0 || srcH <= 0 || dst.empty()) return;
    const int x0 = std::max({0, x, clip.left});
    const int x1 = static_cast<int>(std::min<int64_t>({dst.width, int64_t{x} + w, clip.right}));
    const int y0 = std::max({0, y, clip.top});
    const int y1 = static_cast<int>(std::min<int64_t>({dst.height, int64_t{y} + h, clip.bottom}));
    if (x0 >= x1 || y0 >= y1) return;
    std::vector<uint32_t> scratch(static_cast<size_t>(srcW));

    if (w == srcW && h == srcH) {  // scale 1: the source pixels as they are
        for (int dy = y0; dy < y1; ++dy) {
            const uint32_t* src = rows(dy - y, scratch.data());
            std::memcpy(dst.row(dy) + x0, src + (x0 - x), sizeof(uint32_t) * static_cast<size_t>(x1 - x0));
        }
        return;
    }

    const auto ax = axisFor(srcW, w, x0 - x, x1 - x);
    const auto ay = axisFor(srcH, h, y0 - y, y1 - y);
    const size_t n = static_cast<size_t>(x1 - x0);
    if (!blendsTwo(*ay) && static_cast<size_t>(srcW) <= n) {
        averageRowsFirst(dst, x0, y0, y1, srcW, *ax, *ay, rows);
        return;
    }
    // Destination rows take their source rows in rising order, and the next one starts at most
    // with the last one's final row, so two stretched rows are all that is ever needed again.
    const int ring = std::min(ay->maxCount, 2);
    std::vector<uint32_t> stretched(n * static_cast<size_t>(ring));
    std::vector<int> holds(static_cast<size_t>(ring), -1);  // the source row in each ring slot
    const auto stretchedRow = [&](int sy) -> const uint32_t* {
        const size_t slot = static_cast<size_t>(sy % ring);
        uint32_t* row = stretched.data() + slot * n;
        if (holds[slot] != sy) {
            stretchRow(rows(sy, scratch.data()), *ax, row);
            holds[slot] = sy;
        }
        return row;
    };

    std::vector<uint32_t> sum(blendsTwo(*ay) ? 0 : n * 4);
    for (int dy = y0; dy < y1; ++dy) {
        const size_t r = static_cast<size_t>(dy - y0);
        const int first = ay->first[r], count = ay->count[r];
        uint32_t* out = dst.row(dy) + x0;
        if (blendsTwo(*ay)) {
            const uint32_t* a = stretchedRow(ay->index[static_cast<size_t>(first)]);
            const uint32_t f = ay->share[r];
            if (f == 0) {
                copyPixels(out, a, n);
            } else {
                const uint32_t* b = stretchedRow(ay->index[static_cast<size_t>(first) + 1]);
                blendBytes(reinterpret_cast<const uint8_t*>(a), reinterpret_cast<const uint8_t*>(b), f,
                           reinterpret_cast<uint8_t*>(out), n * 4);
            }
            continue;
        }
        std::fill(sum.begin(), sum.end(), 0u);
        for (int t = first; t < first + count; ++t)
            accumulate(reinterpret_cast<const uint8_t*>(stretchedRow(ay->index[static_cast<size_t>(t)])),
                       static_cast<uint32_t>(ay->weight[static_cast<size_t>(t)]), sum.data(), n * 4);
        roundSums(sum.data(), reinterpret_cast<uint8_t*>(out), n * 4);
    }
}

}  // namespace mv
