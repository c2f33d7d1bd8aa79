#include "platform/win32/win_still_decoder.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/error.h"

#include <stb/stb_image.h>

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

// Averages each d x d block of stb's 3-byte pixels into one opaque pixel of `out`, so the paint
// stretches a picture near its shown size instead of the whole photo.
void boxReduce(const stbi_uc* rgb, int w, int h, int d, Bitmap& out) {
    out.resize(w / d, h / d);
    std::vector<uint32_t> sums(static_cast<size_t>(out.width) * 3);
    const uint32_t area = static_cast<uint32_t>(d * d), half = area / 2;
    for (int oy = 0; oy < out.height; ++oy) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (int dy = 0; dy < d; ++dy) {
            const stbi_uc* p = rgb + (static_cast<size_t>(oy) * d + dy) * static_cast<size_t>(w) * 3;
            uint32_t* s = sums.data();
            for (int ox = 0; ox < out.width; ++ox, s += 3)
                for (int dx = 0; dx < d; ++dx, p += 3) s[0] += p[0], s[1] += p[1], s[2] += p[2];
        }
        uint32_t* row = out.row(oy);
        for (int ox = 0; ox < out.width; ++ox) {
            const uint32_t* s = &sums[static_cast<size_t>(ox) * 3];
            row[ox] = 0xFF000000u | ((s[0] + half) / area) << 16 | ((s[1] + half) / area) << 8 | ((s[2] + half) / area);
        }
    }
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
    const int comps = d > 1 ? 3 : 4;
    std::unique_ptr<stbi_uc, void (*)(void*)> decoded(stbi_load_from_memory(data, size, &w, &h, &channels, comps),
                                                      stbi_image_free);
    if (!decoded) throw PlatformError(ErrInvalidPicture, "Invalid picture");

    Bitmap out;
    if (d > 1) {
        boxReduce(decoded.get(), w, h, d, out);
        return std::make_shared<RgbPicture>(std::move(out));
    }
    // The pixels with their alpha as stored; the portable loader decides what stays transparent.
    out.resize(w, h);
    const stbi_uc* p = decoded.get();
    for (size_t i = 0, n = out.pixels.size(); i < n; ++i, p += 4)
        out.pixels[i] = (uint32_t{p[3]} << 24) | (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | uint32_t{p[2]};
    return std::make_shared<RgbPicture>(std::move(out));
}

}  // namespace mv::win32
