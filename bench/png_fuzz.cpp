// libFuzzer target for the PNG reader and its inflater, in memory. The input is read as a zlib
// stream, which must inflate as zlib inflates it and never to more than the inflater's stated
// most; then as a PNG, either as it is or, when it is not one, as the image data of a header
// made from its first bytes. A PNG either decodes at its header's size or is refused with
// ErrInvalidPicture, and is never refused when zlib finds every row in its data.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory_resource>
#include <vector>

#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/picture/inflate.h"
#include "platform/picture/png_decoder.h"
#include "png_fuzz_parts.h"

namespace {

using mv::fuzz::Bytes;
using mv::fuzz::chunk;
using mv::fuzz::OverBudget;
using mv::fuzz::PixelMemory;
using mv::fuzz::put32;

// Inflates the stream with zlib a step at a time, handing each step's bytes to `each` until it
// returns false; true when zlib reached the end of the stream, its check sum right.
template <class Each>
bool zlibInflate(const uint8_t* data, size_t size, size_t step, Each&& each) {
    uint8_t out[128];
    z_stream z{};
    inflateInit(&z);
    z.next_in = const_cast<uint8_t*>(data);
    z.avail_in = static_cast<uInt>(size);
    int status = Z_OK;
    while (status == Z_OK) {
        z.next_out = out;
        z.avail_out = static_cast<uInt>(step);
        status = inflate(&z, Z_NO_FLUSH);
        const size_t got = step - z.avail_out;
        if ((status != Z_OK && status != Z_STREAM_END) || !each(out, got) || got < step) break;
    }
    inflateEnd(&z);
    return status == Z_STREAM_END;
}

void compareInflate(const uint8_t* data, size_t size) {
    const size_t most = mv::Inflater::mostOutput(size);
    // Read in uneven steps, as rows of different widths ask for it, side by side with zlib.
    mv::Inflater inflater({{data, size}});
    const size_t step = 1 + size % 97;
    uint8_t ours[128];
    size_t done = 0, theirs = 0;
    bool reading = true;
    const bool whole = zlibInflate(data, size, step, [&](const uint8_t* out, size_t got) {
        theirs += got;
        if (theirs > most) __builtin_trap();  // the stated most is not a bound at all
        if (reading && (reading = inflater.read(ours, step))) {
            done += step;
            if (std::memcmp(ours, out, got) != 0) __builtin_trap();
        }
        return true;
    });
    // All that zlib took as a whole stream is read, up to the last step that fits in it; and
    // past it the inflater stops within the stated most.
    if (whole && done + step <= theirs) __builtin_trap();
    while (reading && (reading = inflater.read(ours, step)))
        if ((done += step) > most) __builtin_trap();
}

struct Made {
    Bytes file;
    uint32_t width = 0, height = 0;
    int depth = 0, colorType = 0;
    bool interlaced = false;
};

// A PNG of a header taken from the first seven bytes (small sizes mostly, up to 32768 a side
// when a size byte's top bit is set), a palette and transparency to go with it, and the rest as
// the image data, cut into two chunks.
Made madePng(const uint8_t* d, size_t size) {
    static constexpr uint8_t kFormats[15][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    Made m;
    m.width = 1 + d[0] + (d[1] & 0x80 ? (d[1] & 0x7Fu) << 8 : 0);
    m.height = 1 + d[2] + (d[3] & 0x80 ? (d[3] & 0x7Fu) << 8 : 0);
    m.colorType = kFormats[(d[4] & 0x7F) % 15][0];
    m.depth = kFormats[(d[4] & 0x7F) % 15][1];
    m.interlaced = (d[4] & 0x80) != 0;
    m.file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, m.width);
    put32(header, m.height);
    header.insert(header.end(), {static_cast<uint8_t>(m.depth), static_cast<uint8_t>(m.colorType), 0, 0,
                                 static_cast<uint8_t>(m.interlaced)});
    chunk(m.file, "IHDR", header.data(), header.size());
    Bytes extra(3 * 256);
    for (size_t i = 0; i < extra.size(); ++i) extra[i] = static_cast<uint8_t>(i * 37 + d[5]);
    if (m.colorType == 3) chunk(m.file, "PLTE", extra.data(), 3 * (1 + size_t{d[5]}));
    if (d[5] & 1) chunk(m.file, "tRNS", extra.data(), d[5] >> 1);
    const size_t rest = size - 7, cut = rest ? d[6] % (rest + 1) : 0;
    chunk(m.file, "IDAT", d + 7, cut);
    chunk(m.file, "IDAT", d + 7 + cut, rest - cut);
    chunk(m.file, "IEND", nullptr, 0);
    return m;
}

// Whether zlib finds every row of a picture without interlacing in the stream, each with a
// known filter: the reader must then decode it.
bool surelyWhole(const Made& m, const uint8_t* data, size_t size) {
    if (m.interlaced || m.width > uint32_t(mv::kMaxPictureSide) || m.height > uint32_t(mv::kMaxPictureSide)) return false;
    static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
    const uint64_t row = (uint64_t{m.width} * kChannels[m.colorType] * m.depth + 7) / 8 + 1, needed = row * m.height;
    uint64_t at = 0;
    bool filters = true;
    zlibInflate(data, size, 128, [&](const uint8_t* out, size_t got) {
        for (size_t i = 0; i < got && at < needed; ++i, ++at)
            if (at % row == 0 && out[i] > 4) filters = false;
        return filters && at < needed;
    });
    return filters && at == needed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PixelMemory memory;
    static const bool installed = (std::pmr::set_default_resource(&memory), true);
    (void)installed;
    memory.inputSize = size;
    compareInflate(data, size);
    const Bytes bytes(data, data + size);
    const bool asIs = mv::isPngFile(bytes);
    if (!asIs && size < 7) return 0;
    Made made;
    if (!asIs) made = madePng(data, size);
    try {
        const mv::PicturePtr picture = mv::decodePng(asIs ? bytes : made.file);
        const int w = picture->width(), h = picture->height();
        if (w <= 0 || h <= 0 || int64_t{w} * h > mv::kMaxPicturePixels) __builtin_trap();
        if (!asIs && (uint32_t(w) != made.width || uint32_t(h) != made.height)) __builtin_trap();
    } catch (const OverBudget&) {
    } catch (const mv::PlatformError& e) {
        if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
        if (!asIs && int64_t{made.width} * made.height <= mv::kMaxPicturePixels && surelyWhole(made, data + 7, size - 7))
            __builtin_trap();
    }
    return 0;
}
