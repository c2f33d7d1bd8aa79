#include "platform/picture/gif/gif_lzw.h"

#include <cstring>

namespace mv::gif {

namespace {

// The next eight input bytes, the first in the low byte.
inline uint64_t loadLittle64(const uint8_t* p) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
#else
    uint64_t v = 0;
    for (int k = 7; k >= 0; --k) v = v << 8 | p[k];
    return v;
#endif
}

// Sixteen bytes moved as one: all are read before any is written.
inline void move16(uint8_t* to, const uint8_t* from) {
    uint8_t chunk[16];
    std::memcpy(chunk, from, sizeof chunk);
    std::memcpy(to, chunk, sizeof chunk);
}

}  // namespace

// Every string in the table is a run of bytes already written to the output: a new entry is
// the previous code's output plus the first byte that follows it. So the table holds only
// where each string starts and how long it is, and decoding a code is a copy. The one-byte
// strings are copied the same way, from a row of all byte values.
//
// Away from the end of the output a string is copied sixteen bytes at a time, which writes up
// to fifteen bytes past it. The next strings overwrite them; should the stream stop first,
// they get back what the caller had there, kept in `kept` before they were first written.
size_t lzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize) {
    constexpr uint32_t kMaxCodes = 4096;
    if (minCodeSize < 1 || minCodeSize > 8 || outSize == 0) return 0;
    struct Entry {
        const uint8_t* start;
        uint32_t length;  // 0 for the clear and end codes
    };
    Entry table[kMaxCodes];
    uint8_t bytes[256 + 16];
    const uint32_t clear = 1u << minCodeSize;
    for (uint32_t c = 0; c < clear; ++c) {
        bytes[c] = static_cast<uint8_t>(c);
        table[c] = {bytes + c, 1};
    }
    std::memset(bytes + clear, 0, sizeof bytes - clear);
    table[clear] = table[clear + 1] = {nullptr, 0};
    uint32_t codeSize = static_cast<uint32_t>(minCodeSize) + 1;
    uint32_t mask = (1u << codeSize) - 1;
    uint32_t next = clear + 2;
    bool havePrev = false;
    size_t prevPos = 0, prevLen = 0;
    uint64_t bits = 0;  // bitCount bits not yet used, then possibly bits of data[in...]
    uint32_t bitCount = 0;
    size_t in = 0, pos = 0;
    // Bytes from `untouched` on are still the caller's; kept[q % 64] holds the caller's byte q
    // for q in [untouched - 64, untouched). `untouched` stays a multiple of 16 and at most 30
    // bytes past pos, and is never behind it while strings are copied in whole chunks.
    alignas(16) uint8_t kept[64];
    size_t untouched = 0;

    while (pos < outSize) {
        if (bitCount < codeSize) {
            if (size - in >= 8) {
                bits |= loadLittle64(data + in) << bitCount;
                in += (63 - bitCount) >> 3;
                bitCount |= 56;
            } else {
                while (bitCount <= 56 && in < size) {
                    bits |= static_cast<uint64_t>(data[in++]) << bitCount;
                    bitCount += 8;
                }
                if (bitCount < codeSize) break;
            }
        }
        const uint32_t code = static_cast<uint32_t>(bits) & mask;
        bits >>= codeSize;
        bitCount -= codeSize;

        const uint8_t* from;
        size_t len;
        if (code < next) {
            const Entry e = table[code];
            if (e.length == 0) {
                if (code != clear) break;  // the end
                codeSize = static_cast<uint32_t>(minCodeSize) + 1;
                mask = (1u << codeSize) - 1;
                next = clear + 2;
                havePrev = false;
                continue;
            }
            from = e.start;
            len = e.length;
        } else if (code == next && havePrev) {
            // The string being defined: the previous one and its own first byte.
            from = out + prevPos;
            len = prevLen + 1;
        } else {
            break;  // a code that names no string yet
        }
        if (len + 48 <= outSize - pos) {
            // Keep what the chunks are about to cover for the first time. One chunk is kept
            // whether or not it is needed (keeping it again changes nothing), so that a short
            // string costs no branch.
            const size_t end = pos + ((len + 15) & ~size_t{15});
            std::memcpy(kept + (untouched & 48), out + untouched, 16);
            untouched += untouched < end ? 16 : 0;
            while (untouched < end) {
                std::memcpy(kept + (untouched & 48), out + untouched, 16);
                untouched += 16;
            }
            for (size_t k = 0; k < len; k += 16) move16(out + pos + k, from + k);  // the source lies wholly before pos
            if (code >= next) out[pos + prevLen] = out[prevPos];
        } else {
            const size_t n = len < outSize - pos ? len : outSize - pos;
            if (code < next) {
                std::memcpy(out + pos, from, n);
            } else {
                std::memcpy(out + pos, from, n < prevLen ? n : prevLen);
                if (n == len) out[pos + prevLen] = out[prevPos];
            }
        }
        if (havePrev && next < kMaxCodes) {
            table[next] = {out + prevPos, static_cast<uint32_t>(prevLen + 1)};
            ++next;
            if (next == (1u << codeSize) && codeSize < 12) {
                ++codeSize;
                mask = (1u << codeSize) - 1;
            }
        }
        havePrev = true;
        prevPos = pos;
        prevLen = len;
        pos += len;
    }
    for (size_t q = pos; q < untouched; ++q) out[q] = kept[q & 63];
    return pos < outSize ? pos : outSize;
}

}  // namespace mv::gif
