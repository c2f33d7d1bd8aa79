#pragma once
// A zlib stream (deflate, RFC 1950/1951) decompressed on demand: the caller asks for the next
// bytes as it needs them, so nothing larger than the 32 KB history is ever held.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace mv {

class Inflater {
public:
    // The stream as consecutive pieces (a PNG's IDAT chunks), which must outlive the inflater.
    using Pieces = std::vector<std::pair<const uint8_t*, size_t>>;
    explicit Inflater(Pieces pieces);
    // Fills `out` with the next `n` decompressed bytes; false when the stream is corrupt or ends
    // first (what was filled is then meaningless).
    bool read(uint8_t* out, size_t n);
    // The most bytes a stream of `inputBytes` can decompress to: a match of 258 bytes costs two
    // bits at least, and the zero bytes taken past the end of the input count as input.
    static constexpr uint64_t mostOutput(uint64_t inputBytes) { return (inputBytes + kPastTheEnd) * 1032; }

    struct Huffman {
        static constexpr int kFastBits = 10;
        // By the next kFastBits input bits: symbol << 4 | code length, or 0 for a longer code.
        uint16_t fast[1 << kFastBits];
        uint16_t count[16];  // codes of each length
        uint16_t symbol[320];  // symbols in canonical order
        bool build(const uint8_t* lengths, int n);
    };

private:
    bool refill(int need);
    uint32_t bits(int n);
    int decode(const Huffman& h);
    bool startBlock();
    bool dynamicTables();
    void put(uint8_t b) { window_[outCount_++ & (kWindow - 1)] = b; }

    static constexpr size_t kWindow = 32768;
    static constexpr int kPastTheEnd = 8;  // zero bytes fed after the input before it counts as short
    Pieces pieces_;
    size_t piece_ = 0, pos_ = 0;
    uint64_t bitBuffer_ = 0;
    int bitCount_ = 0;
    int padded_ = 0;  // zero bytes fed past the end of the input
    bool failed_ = false;

    std::vector<uint8_t> window_;
    size_t outCount_ = 0;
    bool final_ = false, inBlock_ = false, stored_ = false;
    size_t storedLeft_ = 0, matchLeft_ = 0, matchDistance_ = 0;
    Huffman lit_{}, dist_{};
};

}  // namespace mv
