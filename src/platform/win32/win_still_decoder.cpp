#include "platform/win32/win_still_decoder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/error.h"

#include <stb/stb_image.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mv::win32 {

namespace {

// stb_image trusts the code counts of a JPEG's Huffman table (DHT) segment and writes that many
// entries into tables of 256, so a table of more than 256 codes, which no valid file has,
// would overrun them. Every DHT segment stb could read starts at the bytes FF C4; each such
// place is checked the way stb reads it (one table after another while the segment's length
// lasts, bytes past the end reading as 0). Walking each segment on its own could take time
// quadratic in the file's size, so one pass from the end works out, for every position, where
// the chain of tables read from there first meets an oversized one.
bool huffmanTablesFit(const std::vector<uint8_t>& b) {
    const size_t n = b.size();
    constexpr size_t kNone = SIZE_MAX;
    constexpr size_t kLongestTable = 17 + 256;  // what a table that fits can span
    const auto at = [&](size_t i) -> unsigned { return i < n ? b[i] : 0u; };
    std::array<size_t, kLongestTable + 1> firstBad{};  // by position modulo its size
    unsigned codes = 0;                                  // the 16 counts after position p
    for (size_t p = n; p-- > 0;) {
        codes = codes + at(p + 1) - at(p + 17);
        const unsigned q = b[p];
        size_t bad = kNone;
        if ((q >> 4) > 1 || (q & 15) > 3) {
            bad = kNone;  // stb stops reading the segment here
        } else if (codes > 256) {
            bad = p;
        } else if (const size_t next = p + 17 + codes; next < n) {
            bad = firstBad[next % firstBad.size()];
        }
        firstBad[p % firstBad.size()] = bad;
        if (p >= 4 && b[p - 4] == 0xFF && b[p - 3] == 0xC4) {
            const size_t length = size_t{b[p - 2]} << 8 | b[p - 1];
            if (bad != kNone && length > 2 && bad < p + (length - 2)) return false;
        }
    }
    return true;
}

// Halves a w x h picture of 4-byte pixels in place, each 2 x 2 block averaged (rounding half
// up) into one pixel; w and h are even. The halved rows never pass the rows still to be read.
void halveInPlace(stbi_uc* px, int w, int h) {
    const size_t stride = static_cast<size_t>(w) * 4;
    const int hw = w / 2;
    for (int y = 0; y < h / 2; ++y) {
        const stbi_uc* a = px + 2 * static_cast<size_t>(y) * stride;
        const stbi_uc* b = a + stride;
        stbi_uc* out = px + static_cast<size_t>(y) * hw * 4;
        int x = 0;
#if defined(__SSE2__)
        // Four output pixels from eight of each row, in 16-bit lanes.
        const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
        for (; x + 4 <= hw; x += 4) {
            const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x * 8));
            const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + x * 8 + 16));
            const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x * 8));
            const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + x * 8 + 16));
            // Per 16-byte load: pixels p0 p1 (low half) and p2 p3 (high half), each pair summed.
            auto pairs = [&](__m128i r, __m128i s) {
                const __m128i lo = _mm_add_epi16(_mm_unpacklo_epi8(r, zero), _mm_unpacklo_epi8(s, zero));
                const __m128i hi = _mm_add_epi16(_mm_unpackhi_epi8(r, zero), _mm_unpackhi_epi8(s, zero));
                // lo holds p0 and p1 of both rows added; fold p1 onto p0, the same for hi.
                const __m128i l = _mm_add_epi16(lo, _mm_srli_si128(lo, 8));
                const __m128i h2 = _mm_add_epi16(hi, _mm_srli_si128(hi, 8));
                return _mm_unpacklo_epi64(l, h2);
            };
            const __m128i q0 = _mm_srli_epi16(_mm_add_epi16(pairs(a0, b0), two), 2);
            const __m128i q1 = _mm_srli_epi16(_mm_add_epi16(pairs(a1, b1), two), 2);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x * 4), _mm_packus_epi16(q0, q1));
        }
#endif
        for (; x < hw; ++x)
            for (int c = 0; c < 4; ++c)
                out[x * 4 + c] = static_cast<stbi_uc>((a[x * 8 + c] + a[x * 8 + 4 + c] + b[x * 8 + c] + b[x * 8 + 4 + c] + 2) >> 2);
    }
}

// A JPEG's bytes with the end marker (FF D9) after the last of them, read through stb's
// callbacks so that the file is not copied to add two bytes.
struct WithEndMarker {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    size_t size() const { return bytes.size() + 2; }
    uint8_t byte(size_t i) const { return i < bytes.size() ? bytes[i] : (i == bytes.size() ? 0xFF : 0xD9); }

    static int read(void* user, char* out, int n) {
        auto& s = *static_cast<WithEndMarker*>(user);
        int k = 0;
        while (k < n && s.at < s.size()) out[k++] = static_cast<char>(s.byte(s.at++));
        return k;
    }
    static void skip(void* user, int n) {
        auto& s = *static_cast<WithEndMarker*>(user);
        const int64_t to = static_cast<int64_t>(s.at) + n;
        s.at = static_cast<size_t>(std::clamp<int64_t>(to, 0, static_cast<int64_t>(s.size())));
    }
    static int eof(void* user) {
        const auto& s = *static_cast<WithEndMarker*>(user);
        return s.at >= s.size();
    }
};

// stb refuses a JPEG whose data breaks off before its end marker, where other decoders show
// what arrived. Read again with the marker supplied, it decodes that much, and the picture is
// marked as damaged. A file that has its end marker is not read twice.
stbi_uc* loadCutJpeg(const std::vector<uint8_t>& bytes, int* w, int* h, int* channels) {
    const size_t n = bytes.size();
    if (n < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8 || (bytes[n - 2] == 0xFF && bytes[n - 1] == 0xD9)) return nullptr;
    WithEndMarker source{bytes};
    const stbi_io_callbacks callbacks{&WithEndMarker::read, &WithEndMarker::skip, &WithEndMarker::eof};
    return stbi_load_from_callbacks(&callbacks, &source, w, h, channels, 4);
}

// stb's R, G, B, A bytes as the bitmap's 0xAARRGGBB.
void toPixels(const stbi_uc* p, Bitmap& out) {
    size_t i = 0;
    const size_t n = out.pixels.size();
#if defined(__SSE2__)
    const __m128i rb = _mm_set1_epi32(0x00FF00FF);
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * 4));
        const __m128i r_b = _mm_and_si128(v, rb);
        const __m128i swapped = _mm_or_si128(_mm_slli_epi32(r_b, 16), _mm_srli_epi32(r_b, 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out.pixels.data() + i),
                         _mm_or_si128(_mm_andnot_si128(rb, v), _mm_and_si128(swapped, rb)));
    }
#endif
    for (p += i * 4; i < n; ++i, p += 4)
        out.pixels[i] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[2]};
}

}  // namespace

PicturePtr decodeStillStb(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX))
        throw PlatformError(ErrInvalidPicture, "Invalid picture");
    // Before stb reads anything: its header reader already builds the tables that come first.
    if (bytes[0] == 0xFF && !huffmanTablesFit(bytes)) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int size = static_cast<int>(bytes.size());
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, size, &w, &h, &channels)) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide ||
        static_cast<int64_t>(w) * h > kMaxPicturePixels)
        throw PlatformError(ErrInvalidPicture, "Picture too large");

    // stb cannot decode a JPEG smaller, but a photo far larger than it is shown is averaged
    // down by the same 1/2, 1/4 or 1/8 the Linux decoder reaches, as it is converted.
    const bool jpeg = size > 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
    const int d = floor && jpeg ? 8 / DecodeEighths(w, h, floor(w, h), {1, 2, 4, 8}) : 1;
    std::unique_ptr<stbi_uc, void (*)(void*)> decoded(stbi_load_from_memory(data, size, &w, &h, &channels, 4),
                                                      stbi_image_free);
    bool damaged = false;
    if (!decoded) {
        decoded.reset(loadCutJpeg(bytes, &w, &h, &channels));
        damaged = true;
    }
    if (!decoded) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    for (int k = d; k > 1; k /= 2, w /= 2, h /= 2) halveInPlace(decoded.get(), w, h);

    // The pixels with their alpha as stored; the portable loader decides what stays transparent.
    Bitmap out;
    out.resize(w, h);
    toPixels(decoded.get(), out);
    return std::make_shared<RgbPicture>(std::move(out), damaged);
}

}  // namespace mv::win32
