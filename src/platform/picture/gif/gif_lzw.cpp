#include "platform/picture/gif/gif_lzw.h"

#include <bit>
#include <cstring>

namespace mv::gif {

namespace {

// 16 bytes from `from` to `to`, all read before any is written: `from` may run into `to`.
inline void copy16(uint8_t* to, const uint8_t* from) {
    uint64_t a, b;
    std::memcpy(&a, from, 8);
    std::memcpy(&b, from + 8, 8);
    std::memcpy(to, &a, 8);
    std::memcpy(to + 8, &b, 8);
}

}  // namespace

// Every string in the table is a run of bytes already written to the output: a new entry is
// the previous code's output plus the first byte that follows it. So the table holds only
// where each string starts and how long it is, and decoding a code is a copy. Short strings,
// most of them, are copied 16 bytes at a time; the bytes past the string are written over by
// the strings that follow, and those past the last one are put back at the end.
size_t lzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize) {
    constexpr int kMaxCodes = 4096;
    if (minCodeSize < 1 || minCodeSize > 8 || outSize == 0) return 0;
    const uint8_t untouched = out[outSize - 1];
    uint32_t start[kMaxCodes];
    uint16_t length[kMaxCodes];
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    int codeSize = minCodeSize + 1;
    uint32_t mask = (1u << codeSize) - 1;
    int next = clear + 2;
    int prev = -1;
    size_t prevPos = 0, prevLen = 0;
    uint64_t bits = 0;
    int bitCount = 0;
    size_t in = 0, pos = 0;
    // Where a 16-byte copy still ends inside the output.
    const size_t fastEnd = outSize >= 16 ? outSize - 16 : 0;
    const bool fast = outSize >= 16;

    while (pos < outSize) {
        if (bitCount < codeSize) {
            if constexpr (std::endian::native == std::endian::little) {
                if (in + 8 <= size) {
                    // Up to 7 whole bytes at once; the bits past them are read again next time.
                    uint64_t word;
                    std::memcpy(&word, data + in, 8);
                    bits |= word << bitCount;
                    in += static_cast<size_t>((63 - bitCount) >> 3);
                    bitCount |= 56;
                }
            }
            while (bitCount < codeSize && in < size) {
                bits |= static_cast<uint64_t>(data[in++]) << bitCount;
                bitCount += 8;
            }
            if (bitCount < codeSize) break;
        }
        const int code = static_cast<int>(bits & mask);
        bits >>= codeSize;
        bitCount -= codeSize;

        size_t len;
        if (code < clear) {
            out[pos] = static_cast<uint8_t>(code);
            len = 1;
        } else if (code == clear) {
            codeSize = minCodeSize + 1;
            mask = (1u << codeSize) - 1;
            next = clear + 2;
            prev = -1;
            continue;
        } else if (code == eoi) {
            break;
        } else if (prev >= 0 && code < next) {
            len = length[code];
            const uint8_t* from = out + start[code];  // wholly before pos
            if (fast && len <= 16 && pos <= fastEnd) {
                copy16(out + pos, from);
            } else {
                std::memcpy(out + pos, from, len < outSize - pos ? len : outSize - pos);
            }
        } else if (prev >= 0 && code == next && next < kMaxCodes) {
            // The string being defined: the previous one and its own first byte.
            len = prevLen + 1;
            if (fast && len <= 16 && pos <= fastEnd) {
                copy16(out + pos, out + prevPos);
                out[pos + prevLen] = out[prevPos];
            } else {
                const size_t n = len < outSize - pos ? len : outSize - pos;
                std::memcpy(out + pos, out + prevPos, n < prevLen ? n : prevLen);
                if (n == len) out[pos + prevLen] = out[prevPos];
            }
        } else {
            break;  // a code that names no string yet
        }
        if (prev >= 0 && next < kMaxCodes) {
            start[next] = static_cast<uint32_t>(prevPos);
            length[next] = static_cast<uint16_t>(prevLen + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) {
                ++codeSize;
                mask = (1u << codeSize) - 1;
            }
        }
        prev = code;
        prevPos = pos;
        prevLen = len;
        pos += len;
    }
    const size_t done = pos < outSize ? pos : outSize;
    // Whatever the last 16-byte copies wrote past the decoded bytes.
    for (size_t i = done; i < outSize && i < done + 16; ++i) out[i] = untouched;
    return done;
}

}  // namespace mv::gif
