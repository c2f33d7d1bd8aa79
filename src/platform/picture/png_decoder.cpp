#include "platform/picture/png_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/error.h"
#include "platform/picture/inflate.h"

namespace mv {

namespace {

PlatformError refused() { return PlatformError(ErrInvalidPicture, "Invalid picture"); }

uint32_t bigEndian(const uint8_t* p) {
    return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

bool validHeader(const PngFormat& h) {
    switch (h.colorType) {
        case 0: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8 || h.depth == 16;
        case 3: return h.depth == 1 || h.depth == 2 || h.depth == 4 || h.depth == 8;
        case 2: case 4: case 6: return h.depth == 8 || h.depth == 16;
        default: return false;
    }
}

uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Undoes the row's filter in place against the row above (zeros above the first).
bool unfilter(int filter, uint8_t* row, const uint8_t* above, size_t bytes, size_t step) {
    switch (filter) {
        case 0: return true;
        case 1: for (size_t i = step; i < bytes; ++i) row[i] = static_cast<uint8_t>(row[i] + row[i - step]); return true;
        case 2: for (size_t i = 0; i < bytes; ++i) row[i] = static_cast<uint8_t>(row[i] + above[i]); return true;
        case 3:
            for (size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<uint8_t>(row[i] + (((i >= step ? row[i - step] : 0) + above[i]) >> 1));
            return true;
        case 4:
            for (size_t i = 0; i < bytes; ++i)
                row[i] = static_cast<uint8_t>(row[i] + paeth(i >= step ? row[i - step] : 0, above[i], i >= step ? above[i - step] : 0));
            return true;
        default: return false;
    }
}

// One row of `count` pixels in the file's format, as 0xAARRGGBB every `spacing` pixels of `out`.
void convertRow(const PngFormat& h, const uint8_t* row, int count, uint32_t* out, int spacing) {
    const int depth = h.depth;
    const auto sample = [&](int index) -> uint32_t {  // the index-th sample of the row, as stored
        if (depth == 16) return uint32_t{row[2 * index]} << 8 | row[2 * index + 1];
        if (depth == 8) return row[index];
        const int bit = index * depth;
        return (row[bit >> 3] >> (8 - depth - (bit & 7))) & ((1u << depth) - 1);
    };
    const auto to8 = [&](uint32_t v) -> uint32_t {
        if (depth == 16) return (v * 255 + 32767) / 65535;
        if (depth < 8) return v * 255 / ((1u << depth) - 1);
        return v;
    };
    const int channels = h.channels();
    for (int x = 0; x < count; ++x, out += spacing) {
        const int s = x * channels;
        uint32_t p = 0;
        switch (h.colorType) {
            case 0: {
                const uint32_t v = sample(s), g = to8(v);
                p = (h.keyed && v == h.key[0] ? 0u : 0xFF000000u) | g << 16 | g << 8 | g;
                break;
            }
            case 2: {
                const uint32_t r = sample(s), g = sample(s + 1), b = sample(s + 2);
                const bool clear = h.keyed && r == h.key[0] && g == h.key[1] && b == h.key[2];
                p = (clear ? 0u : 0xFF000000u) | to8(r) << 16 | to8(g) << 8 | to8(b);
                break;
            }
            case 3: {
                const uint32_t i = sample(s);
                p = static_cast<int>(i) < h.paletteSize ? h.palette[i] : 0xFF000000u;
                break;
            }
            case 4: {
                const uint32_t g = to8(sample(s));
                p = to8(sample(s + 1)) << 24 | g << 16 | g << 8 | g;
                break;
            }
            default:
                p = to8(sample(s + 3)) << 24 | to8(sample(s)) << 16 | to8(sample(s + 1)) << 8 | to8(sample(s + 2));
        }
        *out = p;
    }
}

}  // namespace

bool isPngFile(const std::vector<uint8_t>& b) {
    static constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return b.size() >= 8 && std::equal(kSignature, kSignature + 8, b.begin());
}

bool PngChunk::is(const char* name) const { return std::memcmp(type, name, 4) == 0; }

PngFormat readPngChunks(const std::vector<uint8_t>& b, const std::function<void(const PngChunk&, const PngFormat&)>& other) {
    if (!isPngFile(b)) throw refused();
    PngFormat h;
    std::fill(h.palette, h.palette + 256, 0xFF000000u);
    size_t at = 8;
    bool seenHeader = false;
    while (at + 8 <= b.size()) {
        const uint32_t length = bigEndian(&b[at]);
        if (length > b.size() - at - 8) break;  // cut short: what came before may still do
        const PngChunk chunk{&b[at + 4], &b[at + 8], length};
        const uint8_t* d = chunk.data;
        if (!seenHeader) {
            if (!chunk.is("IHDR") || length < 13) throw refused();
            const uint32_t w = bigEndian(d), hh = bigEndian(d + 4);
            if (w == 0 || hh == 0 || w > static_cast<uint32_t>(kMaxPictureSide) || hh > static_cast<uint32_t>(kMaxPictureSide) ||
                int64_t{w} * hh > kMaxPicturePixels)
                throw refused();
            h.width = static_cast<int>(w);
            h.height = static_cast<int>(hh);
            h.depth = d[8];
            h.colorType = d[9];
            if (!validHeader(h) || d[10] != 0 || d[11] != 0 || d[12] > 1) throw refused();
            h.interlaced = d[12] == 1;
            seenHeader = true;
        } else if (chunk.is("PLTE")) {
            h.paletteSize = static_cast<int>(std::min<uint32_t>(256, length / 3));
            for (int i = 0; i < h.paletteSize; ++i)
                h.palette[i] = 0xFF000000u | uint32_t{d[3 * i]} << 16 | uint32_t{d[3 * i + 1]} << 8 | d[3 * i + 2];
        } else if (chunk.is("tRNS")) {
            if (h.colorType == 3) {
                for (uint32_t i = 0; i < std::min<uint32_t>(256, length); ++i)
                    h.palette[i] = (h.palette[i] & 0xFFFFFFu) | uint32_t{d[i]} << 24;
            } else if (h.colorType == 0 && length >= 2) {
                h.keyed = true;
                h.key[0] = static_cast<uint16_t>(d[0] << 8 | d[1]);
            } else if (h.colorType == 2 && length >= 6) {
                h.keyed = true;
                for (int k = 0; k < 3; ++k) h.key[k] = static_cast<uint16_t>(d[2 * k] << 8 | d[2 * k + 1]);
            }
        } else {
            other(chunk, h);
            if (chunk.is("IEND")) break;
        }
        at += 12 + size_t{length};
    }
    if (!seenHeader) throw refused();
    return h;
}

namespace {

// Without interlacing, one pass of every row and column; with it, the seven passes of Adam7,
// each a smaller picture of every so many pixels.
struct Pass {
    int x, y, dx, dy;
    int cols(int width) const { return x < width ? (width - x + dx - 1) / dx : 0; }
    int rows(int height) const { return y < height ? (height - y + dy - 1) / dy : 0; }
};
constexpr Pass kWhole[1] = {{0, 0, 1, 1}};
constexpr Pass kAdam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

size_t bitsPerPixel(const PngFormat& f) { return static_cast<size_t>(f.channels()) * static_cast<size_t>(f.depth); }
size_t rowBytes(const PngFormat& f, int cols) { return (static_cast<size_t>(cols) * bitsPerPixel(f) + 7) / 8; }

}  // namespace

bool pngImageFits(const PngFormat& f, int width, int height, uint64_t compressedBytes) {
    // A header may promise far more pixels than its data could ever fill: such an image is
    // refused before it is allocated, so that a few bytes never cost more memory than they can
    // decompress to.
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        int64_t{width} * height > kMaxPicturePixels)
        return false;
    const Pass* passes = f.interlaced ? kAdam7 : kWhole;
    uint64_t filtered = 0;
    for (int p = 0; p < (f.interlaced ? 7 : 1); ++p)
        if (passes[p].cols(width) > 0) filtered += uint64_t(passes[p].rows(height)) * (rowBytes(f, passes[p].cols(width)) + 1);
    return filtered <= Inflater::mostOutput(compressedBytes);
}

Bitmap decodePngImage(const PngFormat& f, int width, int height, Inflater::Pieces data) {
    uint64_t compressed = 0;
    for (const auto& piece : data) compressed += piece.second;
    if (!pngImageFits(f, width, height, compressed)) throw refused();
    const size_t step = std::max<size_t>(1, bitsPerPixel(f) / 8);
    const Pass* passes = f.interlaced ? kAdam7 : kWhole;
    const int passCount = f.interlaced ? 7 : 1;

    Bitmap out;
    out.resize(width, height);
    Inflater inflater(std::move(data));
    const size_t widest = rowBytes(f, width);
    std::vector<uint8_t> current(widest + 1), above(widest + 1);
    for (int p = 0; p < passCount; ++p) {
        const Pass& pass = passes[p];
        const int cols = pass.cols(width), rows = pass.rows(height);
        if (cols == 0 || rows == 0) continue;
        const size_t bytesPerRow = rowBytes(f, cols);
        std::fill(above.begin(), above.end(), uint8_t{0});
        for (int r = 0; r < rows; ++r) {
            if (!inflater.read(current.data(), bytesPerRow + 1) ||
                !unfilter(current[0], current.data() + 1, above.data() + 1, bytesPerRow, step))
                throw refused();
            convertRow(f, current.data() + 1, cols, out.row(pass.y + r * pass.dy) + pass.x, pass.dx);
            std::swap(current, above);
        }
    }
    return out;
}

PicturePtr decodePng(const std::vector<uint8_t>& bytes) {
    Inflater::Pieces data;  // the zlib stream, in the IDAT chunks
    const PngFormat format = readPngChunks(bytes, [&](const PngChunk& chunk, const PngFormat&) {
        if (chunk.is("IDAT") && chunk.length > 0) data.emplace_back(chunk.data, chunk.length);
    });
    if (data.empty() || (format.colorType == 3 && format.paletteSize == 0)) throw refused();
    return std::make_shared<RgbPicture>(decodePngImage(format, format.width, format.height, std::move(data)));
}

}  // namespace mv
