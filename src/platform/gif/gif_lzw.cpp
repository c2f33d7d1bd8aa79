#include "gif_lzw.h"

namespace mv::gif {

size_t lzwDecode(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out, size_t outSize) {
    constexpr int kMaxCodes = 4096;
    if (minCodeSize < 1 || minCodeSize > 11 || outSize == 0) return 0;
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint16_t length[kMaxCodes];
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    for (int i = 0; i < clear && i < kMaxCodes; ++i) {
        prefix[i] = 0;
        suffix[i] = static_cast<uint8_t>(i);
        first[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
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
        if (prev < 0) {
            if (code >= clear) break;  // only a literal can follow a reset
            out[pos++] = static_cast<uint8_t>(code);
            prev = code;
            continue;
        }
        if (code > next || (code == next && next >= kMaxCodes)) break;
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(prev);
            first[next] = first[prev];
            suffix[next] = code == next ? first[prev] : first[code];
            length[next] = static_cast<uint16_t>(length[prev] + 1);
            ++next;
            if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        // Strings are chained last character first, so write them from their end backwards.
        const size_t len = length[code];
        int c = code;
        if (pos + len <= outSize) {
            uint8_t* p = out + pos + len;
            while (p > out + pos) {
                *--p = suffix[c];
                c = prefix[c];
            }
        } else {
            for (size_t k = len; k-- > 0;) {
                if (pos + k < outSize) out[pos + k] = suffix[c];
                c = prefix[c];
            }
        }
        pos += len;
        prev = code;
    }
    return pos < outSize ? pos : outSize;
}

}  // namespace mv::gif
