#pragma once
// A plain LZW decoder, byte by byte and one memcpy per string, that the fuzz target holds the
// shipped one to: both must write the same bytes and return the same count for any stream.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace mv::fuzz {

inline size_t lzwDecodeReference(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize) {
    constexpr int kMaxCodes = 4096;
    if (minCodeSize < 1 || minCodeSize > 8 || outSize == 0) return 0;
    uint32_t start[kMaxCodes];
    uint16_t length[kMaxCodes];
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    size_t prevPos = 0, prevLen = 0;
    uint32_t bits = 0;
    int bitCount = 0;
    size_t in = 0, pos = 0;

    while (pos < outSize) {
        while (bitCount < codeSize && in < size) {
            bits |= static_cast<uint32_t>(data[in++]) << bitCount;
            bitCount += 8;
        }
        if (bitCount < codeSize) break;
        const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == eoi) break;
        size_t len;
        if (code < clear) {
            out[pos] = static_cast<uint8_t>(code);
            len = 1;
        } else if (prev >= 0 && code < next) {
            len = length[code];
            const size_t n = len < outSize - pos ? len : outSize - pos;
            std::memcpy(out + pos, out + start[code], n);  // the source lies wholly before pos
        } else if (prev >= 0 && code == next && next < kMaxCodes) {
            // The string being defined: the previous one and its own first byte.
            len = prevLen + 1;
            const size_t n = len < outSize - pos ? len : outSize - pos;
            std::memcpy(out + pos, out + prevPos, n < prevLen ? n : prevLen);
            if (n == len) out[pos + prevLen] = out[prevPos];
        } else {
            break;  // a code that names no string yet
        }
        if (prev >= 0 && next < kMaxCodes) {
            start[next] = static_cast<uint32_t>(prevPos);
            length[next] = static_cast<uint16_t>(prevLen + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        prev = code;
        prevPos = pos;
        prevLen = len;
        pos += len;
    }
    return pos < outSize ? pos : outSize;
}

}  // namespace mv::fuzz
