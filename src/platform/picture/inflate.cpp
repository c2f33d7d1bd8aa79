#include "platform/picture/inflate.h"

#include <cstring>

namespace mv {

namespace {

constexpr uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

}  // namespace

bool Inflater::Huffman::build(const uint8_t* lengths, int n) {
    std::memset(fast, 0, sizeof fast);
    std::memset(count, 0, sizeof count);
    for (int s = 0; s < n; ++s) ++count[lengths[s]];
    count[0] = 0;
    int left = 1;  // codes still free at the current length
    for (int len = 1; len < 16; ++len) {
        left = left * 2 - count[len];
        if (left < 0) return false;  // more codes than the lengths allow
    }
    uint16_t offset[16] = {};
    for (int len = 1; len < 15; ++len) offset[len + 1] = static_cast<uint16_t>(offset[len] + count[len]);
    for (int s = 0; s < n; ++s)
        if (lengths[s]) symbol[offset[lengths[s]]++] = static_cast<uint16_t>(s);
    // Canonical codes, first bit first, reversed into the order the input delivers them.
    uint32_t code = 0;
    size_t next = 0;
    for (int len = 1; len <= kFastBits; ++len, code <<= 1)
        for (int k = 0; k < count[len]; ++k, ++code, ++next) {
            uint32_t reversed = 0;
            for (int b = 0; b < len; ++b) reversed |= ((code >> b) & 1u) << (len - 1 - b);
            for (uint32_t i = reversed; i < (1u << kFastBits); i += 1u << len)
                fast[i] = static_cast<uint16_t>(symbol[next] << 4 | len);
        }
    return true;
}

Inflater::Inflater(Pieces pieces) : pieces_(std::move(pieces)), window_(kWindow) {
    // The zlib header: deflate with a window of at most 32 KB, no preset dictionary.
    const uint32_t cmf = bits(8), flg = bits(8);
    if ((cmf & 15) != 8 || (cmf >> 4) > 7 || (cmf << 8 | flg) % 31 != 0 || (flg & 0x20)) failed_ = true;
}

bool Inflater::refill(int need) {
    while (bitCount_ < need) {
        uint64_t byte = 0;
        while (piece_ < pieces_.size() && pos_ == pieces_[piece_].second) {
            ++piece_;
            pos_ = 0;
        }
        if (piece_ < pieces_.size()) {
            byte = pieces_[piece_].first[pos_++];
        } else if (++padded_ > kPastTheEnd) {
            failed_ = true;  // the stream wants more than the input holds
            return false;
        }
        bitBuffer_ |= byte << bitCount_;
        bitCount_ += 8;
    }
    return true;
}

uint32_t Inflater::bits(int n) {
    if (n == 0 || !refill(n)) return 0;
    const auto v = static_cast<uint32_t>(bitBuffer_ & ((uint64_t{1} << n) - 1));
    bitBuffer_ >>= n;
    bitCount_ -= n;
    return v;
}

// The next symbol, -1 for a code the table does not have.
int Inflater::decode(const Huffman& h) {
    refill(15);
    if (failed_) return -1;
    const uint16_t e = h.fast[bitBuffer_ & ((1u << Huffman::kFastBits) - 1)];
    if (e) {
        bitBuffer_ >>= e & 15;
        bitCount_ -= e & 15;
        return e >> 4;
    }
    // A longer code, a bit at a time, counting codes of each length in canonical order.
    int code = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
        code |= static_cast<int>(bitBuffer_ & 1u);
        bitBuffer_ >>= 1;
        --bitCount_;
        const int count = h.count[len];
        if (code - first < count) return h.symbol[index + code - first];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return -1;
}

bool Inflater::dynamicTables() {
    const int nlen = static_cast<int>(bits(5)) + 257, ndist = static_cast<int>(bits(5)) + 1, ncode = static_cast<int>(bits(4)) + 4;
    if (nlen > 286 || ndist > 30) return false;
    static constexpr uint8_t kOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
    uint8_t lengths[320] = {};
    for (int i = 0; i < ncode; ++i) lengths[kOrder[i]] = static_cast<uint8_t>(bits(3));
    Huffman codes;
    if (!codes.build(lengths, 19)) return false;
    uint8_t all[320] = {};
    for (int i = 0; i < nlen + ndist;) {
        const int s = decode(codes);
        if (s < 0) return false;
        if (s < 16) {
            all[i++] = static_cast<uint8_t>(s);
            continue;
        }
        uint8_t value = 0;
        int repeat = 0;
        if (s == 16) {
            if (i == 0) return false;
            value = all[i - 1];
            repeat = 3 + static_cast<int>(bits(2));
        } else if (s == 17) {
            repeat = 3 + static_cast<int>(bits(3));
        } else {
            repeat = 11 + static_cast<int>(bits(7));
        }
        if (i + repeat > nlen + ndist) return false;
        while (repeat--) all[i++] = value;
    }
    if (all[256] == 0) return false;  // no end-of-block code
    return lit_.build(all, nlen) && dist_.build(all + nlen, ndist) && !failed_;
}

bool Inflater::startBlock() {
    final_ = bits(1) != 0;
    const uint32_t type = bits(2);
    stored_ = type == 0;
    if (type == 0) {
        // Stored: to the next byte boundary, then the length and its complement.
        bits(bitCount_ & 7);
        const uint32_t len = bits(16), nlen = bits(16);
        if ((len ^ 0xFFFFu) != nlen) return false;
        storedLeft_ = len;
    } else if (type == 1) {
        uint8_t lengths[320];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        lit_.build(lengths, 288);
        std::memset(lengths, 5, 30);
        dist_.build(lengths, 30);
    } else if (type == 2) {
        if (!dynamicTables()) return false;
    } else {
        return false;
    }
    inBlock_ = true;
    return !failed_;
}

bool Inflater::read(uint8_t* out, size_t n) {
    while (n > 0) {
        if (failed_) return false;
        if (matchLeft_ > 0) {
            size_t k = matchLeft_ < n ? matchLeft_ : n;
            matchLeft_ -= k;
            n -= k;
            while (k--) {
                const uint8_t b = window_[(outCount_ - matchDistance_) & (kWindow - 1)];
                put(b);
                *out++ = b;
            }
            continue;
        }
        if (!inBlock_) {
            if (final_ || !startBlock()) return false;
            continue;
        }
        if (stored_) {
            if (storedLeft_ == 0) {
                inBlock_ = false;
                continue;
            }
            const auto b = static_cast<uint8_t>(bits(8));
            --storedLeft_;
            put(b);
            *out++ = b;
            --n;
            continue;
        }
        const int s = decode(lit_);
        if (s < 0) return false;
        if (s < 256) {
            put(static_cast<uint8_t>(s));
            *out++ = static_cast<uint8_t>(s);
            --n;
        } else if (s == 256) {
            inBlock_ = false;
        } else {
            if (s > 285) return false;
            const size_t length = kLengthBase[s - 257] + bits(kLengthExtra[s - 257]);
            const int d = decode(dist_);
            if (d < 0 || d > 29) return false;
            const size_t distance = kDistBase[d] + bits(kDistExtra[d]);
            if (distance > outCount_) return false;  // before the start of the output
            matchLeft_ = length;
            matchDistance_ = distance;
        }
    }
    return !failed_;
}

}  // namespace mv
