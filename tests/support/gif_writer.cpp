#include "gif_writer.h"

#include <algorithm>

namespace mv::test {
namespace {

class BitWriter {
public:
    void put(unsigned code, int bits) {
        acc_ |= static_cast<uint64_t>(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            out.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void flush() {
        if (count_ > 0) out.push_back(static_cast<uint8_t>(acc_));
        acc_ = 0;
        count_ = 0;
    }
    std::vector<uint8_t> out;

private:
    uint64_t acc_ = 0;
    int count_ = 0;
};

int tableBits(size_t entries) {
    int bits = 1;
    while ((size_t{1} << bits) < entries && bits < 8) ++bits;
    return bits;
}

void putPalette(std::vector<uint8_t>& out, const std::vector<uint32_t>& palette) {
    const size_t entries = size_t{1} << tableBits(palette.size());
    for (size_t i = 0; i < entries; ++i) {
        const uint32_t c = i < palette.size() ? palette[i] : 0;
        out.push_back(static_cast<uint8_t>(c >> 16));
        out.push_back(static_cast<uint8_t>(c >> 8));
        out.push_back(static_cast<uint8_t>(c));
    }
}

void put16(std::vector<uint8_t>& out, int v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

}  // namespace

std::vector<uint8_t> lzwEncode(const uint8_t* indices, size_t count, int minCodeSize) {
    const unsigned clear = 1u << minCodeSize, eoi = clear + 1;
    std::vector<uint16_t> table(4096 * 256, 0);
    std::vector<uint32_t> used;
    BitWriter w;
    int bits = minCodeSize + 1;
    unsigned next = clear + 2;
    w.put(clear, bits);
    if (count == 0) {
        w.put(eoi, bits);
        w.flush();
        return w.out;
    }
    unsigned prefix = indices[0];
    for (size_t i = 1; i < count; ++i) {
        const uint8_t k = indices[i];
        const uint32_t slot = prefix * 256u + k;
        if (table[slot]) {
            prefix = table[slot];
            continue;
        }
        w.put(prefix, bits);
        if (next < 4096) {
            table[slot] = static_cast<uint16_t>(next++);
            used.push_back(slot);
            if (next > (1u << bits) && bits < 12) ++bits;
        } else {
            w.put(clear, bits);
            for (uint32_t s : used) table[s] = 0;
            used.clear();
            bits = minCodeSize + 1;
            next = clear + 2;
        }
        prefix = k;
    }
    w.put(prefix, bits);
    // The decoder grows its table after this code as well; the end code must use that width.
    if (next < 4096 && next + 1 > (1u << bits) && bits < 12) ++bits;
    w.put(eoi, bits);
    w.flush();
    return w.out;
}

std::vector<uint8_t> writeGif(const GifPlan& plan) {
    const std::string signature = "GIF" + plan.version;
    std::vector<uint8_t> out(signature.begin(), signature.end());
    put16(out, plan.width);
    put16(out, plan.height);
    const bool global = !plan.globalPalette.empty();
    out.push_back(static_cast<uint8_t>(global ? 0x80 | 0x70 | (tableBits(plan.globalPalette.size()) - 1) : 0));
    out.push_back(0);
    out.push_back(0);
    if (global) putPalette(out, plan.globalPalette);
    if (plan.loopExtension) {
        const uint8_t app[] = {0x21, 0xFF, 0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03, 0x01, 0x00, 0x00, 0x00};
        out.insert(out.end(), app, app + sizeof app);
    }
    for (const auto& f : plan.frames) {
        if (f.control) {
            const int disposal = f.disposal >= 0 ? f.disposal : f.transparent >= 0 ? 2 : 1;
            const uint8_t flags = static_cast<uint8_t>((disposal & 7) << 2 | (f.transparent >= 0 ? 1 : 0));
            out.insert(out.end(), {0x21, 0xF9, 0x04, flags});
            put16(out, f.delayCs);
            out.push_back(static_cast<uint8_t>(f.transparent >= 0 ? f.transparent : 0));
            out.push_back(0);
        }
        out.push_back(0x2C);
        put16(out, f.left);
        put16(out, f.top);
        put16(out, f.width);
        put16(out, f.height);
        uint8_t flags = f.interlaced ? 0x40 : 0;
        const auto& palette = f.localPalette.empty() ? plan.globalPalette : f.localPalette;
        if (!f.localPalette.empty()) flags |= static_cast<uint8_t>(0x80 | (tableBits(f.localPalette.size()) - 1));
        out.push_back(flags);
        if (!f.localPalette.empty()) putPalette(out, f.localPalette);
        const int minCode = std::max(2, tableBits(palette.size()));
        out.push_back(static_cast<uint8_t>(minCode));
        std::vector<uint8_t> ordered = f.indices;
        if (f.interlaced) {
            ordered.clear();
            static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int row = start[pass]; row < f.height; row += step[pass])
                    ordered.insert(ordered.end(), f.indices.begin() + row * f.width, f.indices.begin() + (row + 1) * f.width);
        }
        const auto data = lzwEncode(ordered.data(), ordered.size(), minCode);
        for (size_t i = 0; i < data.size(); i += 255) {
            const size_t n = std::min<size_t>(255, data.size() - i);
            out.push_back(static_cast<uint8_t>(n));
            out.insert(out.end(), data.begin() + static_cast<long>(i), data.begin() + static_cast<long>(i + n));
        }
        out.push_back(0);
    }
    if (plan.trailer) out.push_back(0x3B);
    return out;
}

GifFramePlan solidFrame(int width, int height, uint8_t index, int delayCs) {
    GifFramePlan f;
    f.width = width;
    f.height = height;
    f.indices.assign(static_cast<size_t>(width) * height, index);
    f.delayCs = delayCs;
    return f;
}

std::vector<uint32_t> basicPalette() {
    std::vector<uint32_t> p = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000};
    for (int i = 5; i < 16; ++i) p.push_back(static_cast<uint32_t>(i * 16) * 0x010101u);
    return p;
}

}  // namespace mv::test
