#include "support/png_writer.h"

#include <algorithm>
#include <cstring>

namespace mv::test {

namespace {

uint32_t crc32(const uint8_t* p, size_t n, uint32_t crc = 0xFFFFFFFFu) {
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc;
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    put32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(out.data() + start, out.size() - start) ^ 0xFFFFFFFFu);
}

// Deflate with the fixed codes of one block, literals and runs that copy from `step` back.
class FixedDeflater {
public:
    void literal(uint8_t v) { v < 144 ? code(0x30 + v, 8) : code(0x190 + (v - 144), 9); adler(v); }
    // `length` (3 to 258) bytes copied from `distance` (1 to 32768) back.
    void copy(int length, int distance, const uint8_t* bytes) {
        static constexpr int kBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59,
                                          67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr int kExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        int s = 28;
        while (kBase[s] > length) --s;
        const int symbol = 257 + s;
        symbol < 280 ? code(symbol - 256, 7) : code(0xC0 + (symbol - 280), 8);
        bits(static_cast<uint32_t>(length - kBase[s]), kExtra[s]);
        int d = 0, base = 1;
        for (; d < 29; ++d) {  // distance codes: two per extra bit from code 4 on
            const int extra = d < 4 ? 0 : d / 2 - 1;
            if (distance < base + (1 << extra)) break;
            base += 1 << extra;
        }
        code(static_cast<uint32_t>(d), 5);
        bits(static_cast<uint32_t>(distance - base), d < 4 ? 0 : d / 2 - 1);
        for (int i = 0; i < length; ++i) adler(bytes[i]);
    }
    std::vector<uint8_t> finish() {
        code(0, 7);  // end of block
        if (count_) out_.push_back(static_cast<uint8_t>(buffer_));
        for (uint32_t v : {b_ >> 8, b_, a_ >> 8, a_}) out_.push_back(static_cast<uint8_t>(v));
        return std::move(out_);
    }
    FixedDeflater() { out_ = {0x78, 0x01}; bits(1, 1), bits(1, 2); }  // the last block, fixed codes

private:
    void bits(uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            buffer_ |= ((v >> i) & 1u) << count_;
            if (++count_ == 8) out_.push_back(static_cast<uint8_t>(buffer_)), buffer_ = 0, count_ = 0;
        }
    }
    void code(uint32_t c, int n) {  // Huffman codes go first bit first
        for (int i = n - 1; i >= 0; --i) bits((c >> i) & 1u, 1);
    }
    void adler(uint8_t v) { a_ = (a_ + v) % 65521, b_ = (b_ + a_) % 65521; }
    std::vector<uint8_t> out_;
    uint32_t buffer_ = 0, a_ = 1, b_ = 0;
    int count_ = 0;
};

}  // namespace

std::vector<uint8_t> writePng(const PngPlan& plan) {
    static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const size_t bitsPerPixel = static_cast<size_t>(kChannels[plan.colorType]) * static_cast<size_t>(plan.depth);
    const int step = static_cast<int>(std::max<size_t>(1, bitsPerPixel / 8));
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    put32(header, static_cast<uint32_t>(plan.width));
    put32(header, static_cast<uint32_t>(plan.height));
    header.insert(header.end(), {static_cast<uint8_t>(plan.depth), static_cast<uint8_t>(plan.colorType), 0, 0,
                                 static_cast<uint8_t>(plan.interlaced)});
    chunk(out, "IHDR", header);
    if (!plan.palette.empty()) chunk(out, "PLTE", plan.palette);
    if (!plan.transparency.empty()) chunk(out, "tRNS", plan.transparency);

    FixedDeflater deflate;
    struct Pass { int x, y, dx, dy; };
    static constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    static constexpr Pass kWhole = {0, 0, 1, 1};
    std::vector<uint8_t> row;
    for (int p = 0; p < (plan.interlaced ? 7 : 1); ++p) {
        const Pass pass = plan.interlaced ? kAdam7[p] : kWhole;
        if (pass.x >= plan.width || pass.y >= plan.height) continue;
        const int cols = (plan.width - pass.x + pass.dx - 1) / pass.dx, rows = (plan.height - pass.y + pass.dy - 1) / pass.dy;
        const size_t bytes = (static_cast<size_t>(cols) * bitsPerPixel + 7) / 8;
        row.assign(bytes, 0);
        for (int y = 0; y < rows; ++y) {
            plan.row(p, y, row.data(), bytes);
            deflate.literal(0);  // no filter
            for (size_t i = 0; i < bytes;) {
                size_t run = 0;
                if (i >= static_cast<size_t>(step))
                    while (run < 258 && i + run < bytes && row[i + run] == row[i + run - static_cast<size_t>(step)]) ++run;
                if (run >= 3) {
                    deflate.copy(static_cast<int>(run), step, row.data() + i);
                    i += run;
                } else {
                    deflate.literal(row[i++]);
                }
            }
        }
    }
    chunk(out, "IDAT", deflate.finish());
    chunk(out, "IEND", {});
    return out;
}

}  // namespace mv::test
