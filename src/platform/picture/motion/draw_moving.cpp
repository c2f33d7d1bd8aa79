#include "platform/picture/motion/draw_moving.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define MV_MOTION_SSE2 1
#endif

namespace mv {

namespace {

// Weights in 1/128: a horizontal blend of two 8-bit channels stays within a signed 16-bit lane
// (255 * 128), and the vertical blend of two such values within 32 bits.
constexpr int kOne = 128;

struct Tap {
    int at = 0;      // first source index
    int next = 0;    // second source index (the same at the last one)
    int weight = 0;  // of the second, 0..128
};

// For each destination index in [from, to): the two source pixels its centre falls between.
std::vector<Tap> tapsFor(int from, int to, double origin, double scale, int srcSize) {
    std::vector<Tap> taps(static_cast<size_t>(std::max(0, to - from)));
    for (int d = from; d < to; ++d) {
        double s = (d + 0.5 - origin) * scale - 0.5;
        s = std::clamp(s, 0.0, static_cast<double>(srcSize - 1));
        int i = static_cast<int>(s);
        int w = static_cast<int>(std::lround((s - i) * kOne));
        if (w == kOne) {
            ++i;
            w = 0;
        }
        i = std::min(i, srcSize - 1);
        taps[static_cast<size_t>(d - from)] = {i, std::min(i + 1, srcSize - 1), w};
    }
    return taps;
}

// One source row blended across: four 16-bit channels a pixel, each 0..255*128.
void blendAcross(const uint32_t* src, const std::vector<Tap>& taps, int16_t* out) {
    const size_t n = taps.size();
    size_t x = 0;
#ifdef MV_MOTION_SSE2
    const __m128i zero = _mm_setzero_si128();
    for (; x + 2 <= n; x += 2) {
        const Tap& t0 = taps[x];
        const Tap& t1 = taps[x + 1];
        // Each pixel's two taps side by side, channel by channel: a0 b0 a1 b1 ... as 16 bits.
        const __m128i p0 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(src[t0.at])),
                                             _mm_cvtsi32_si128(static_cast<int>(src[t0.next])));
        const __m128i p1 = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(src[t1.at])),
                                             _mm_cvtsi32_si128(static_cast<int>(src[t1.next])));
        const __m128i w0 = _mm_set1_epi32((t0.weight << 16) | (kOne - t0.weight));
        const __m128i w1 = _mm_set1_epi32((t1.weight << 16) | (kOne - t1.weight));
        const __m128i s0 = _mm_madd_epi16(_mm_unpacklo_epi8(p0, zero), w0);
        const __m128i s1 = _mm_madd_epi16(_mm_unpacklo_epi8(p1, zero), w1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), _mm_packs_epi32(s0, s1));
    }
#endif
    for (; x < n; ++x) {
        const Tap& t = taps[x];
        const uint32_t a = src[t.at], b = src[t.next];
        for (int c = 0; c < 4; ++c) {
            const int ca = static_cast<int>((a >> (8 * c)) & 0xFF), cb = static_cast<int>((b >> (8 * c)) & 0xFF);
            out[x * 4 + static_cast<size_t>(c)] = static_cast<int16_t>(ca * (kOne - t.weight) + cb * t.weight);
        }
    }
}

// Two blended rows mixed down into pixels: (upper * (128 - w) + lower * w) / 128 / 128, rounded.
void blendDown(const int16_t* upper, const int16_t* lower, int weight, size_t n, uint32_t* out) {
    size_t x = 0;
#ifdef MV_MOTION_SSE2
    const __m128i w = _mm_set1_epi32((weight << 16) | (kOne - weight));
    const __m128i round = _mm_set1_epi32(1 << 13);
    for (; x + 4 <= n; x += 4) {
        const __m128i u0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x * 4));
        const __m128i l0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x * 4));
        const __m128i u1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x * 4 + 8));
        const __m128i l1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x * 4 + 8));
        auto mix = [&](__m128i u, __m128i l, bool high) {
            const __m128i pairs = high ? _mm_unpackhi_epi16(u, l) : _mm_unpacklo_epi16(u, l);
            return _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(pairs, w), round), 14);
        };
        const __m128i a = _mm_packs_epi32(mix(u0, l0, false), mix(u0, l0, true));
        const __m128i b = _mm_packs_epi32(mix(u1, l1, false), mix(u1, l1, true));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(a, b));
    }
#endif
    for (; x < n; ++x) {
        uint32_t p = 0;
        for (int c = 0; c < 4; ++c) {
            const int v = (upper[x * 4 + static_cast<size_t>(c)] * (kOne - weight) +
                           lower[x * 4 + static_cast<size_t>(c)] * weight + (1 << 13)) >> 14;
            p |= static_cast<uint32_t>(std::clamp(v, 0, 255)) << (8 * c);
        }
        out[x] = p;
    }
}

// The destination indices [from, to) of [0, size) whose centres lie inside [lo, lo + length).
void coveredSpan(double lo, double length, int size, int& from, int& to) {
    from = static_cast<int>(std::clamp(std::ceil(lo - 0.5), 0.0, static_cast<double>(size)));
    to = static_cast<int>(std::clamp(std::ceil(lo + length - 0.5), static_cast<double>(from), static_cast<double>(size)));
}

void fillSpan(Bitmap& dst, const MovingScene& scene, int y, int from, int to) {
    if (from >= to) return;
    uint32_t* row = dst.row(y);
    const Bitmap* under = scene.under.get();
    if (under && under->width == dst.width && under->height == dst.height)
        std::memcpy(row + from, under->row(y) + from, static_cast<size_t>(to - from) * 4);
    else
        std::fill(row + from, row + to, scene.fill);
}

}  // namespace

void DrawMovingScene(Bitmap& dst, const MovingScene& scene) {
    if (dst.empty()) return;
    const Bitmap* pic = scene.picture.get();
    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    if (pic && !pic->empty() && scene.at.w > 0 && scene.at.h > 0) {
        coveredSpan(scene.at.x, scene.at.w, dst.width, x0, x1);
        coveredSpan(scene.at.y, scene.at.h, dst.height, y0, y1);
    }
    if (x0 >= x1 || y0 >= y1) {
        for (int y = 0; y < dst.height; ++y) fillSpan(dst, scene, y, 0, dst.width);
        return;
    }
    const std::vector<Tap> across = tapsFor(x0, x1, scene.at.x, pic->width / scene.at.w, pic->width);
    const std::vector<Tap> down = tapsFor(y0, y1, scene.at.y, pic->height / scene.at.h, pic->height);
    const size_t n = across.size();
    // The two source rows the current destination row falls between, blended across once each
    // and reused while the destination rows stay between them.
    std::vector<int16_t> rowA(n * 4 + 8), rowB(n * 4 + 8);
    int16_t* upper = rowA.data();
    int16_t* lower = rowB.data();
    int upperAt = -1, lowerAt = -1;
    for (int y = 0; y < dst.height; ++y) {
        if (y < y0 || y >= y1) {
            fillSpan(dst, scene, y, 0, dst.width);
            continue;
        }
        const Tap& t = down[static_cast<size_t>(y - y0)];
        if (upperAt != t.at) {
            if (lowerAt == t.at) {
                std::swap(upper, lower);
                std::swap(upperAt, lowerAt);
            } else {
                blendAcross(pic->row(t.at), across, upper);
                upperAt = t.at;
            }
        }
        if (t.weight > 0 && lowerAt != t.next) {
            blendAcross(pic->row(t.next), across, lower);
            lowerAt = t.next;
        }
        fillSpan(dst, scene, y, 0, x0);
        blendDown(upper, t.weight > 0 ? lower : upper, t.weight, n, dst.row(y) + x0);
        fillSpan(dst, scene, y, x1, dst.width);
    }
}

}  // namespace mv
