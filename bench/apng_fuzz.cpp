// libFuzzer target for the animated PNG reader, in memory. The input is read as a PNG when it is
// one; otherwise as the makings of an animation: a header from its first bytes, then frames,
// each a few bytes of control (size, place, disposal, blending, sequence) and a run of data, so
// that most inputs reach the frames' decoding. Opening never throws; every frame listed lies
// inside the canvas, and decodes at its size or is refused with ErrInvalidPicture; no pixel
// memory is ever larger than the input could fill; the frames then compose and paint.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <memory_resource>
#include <vector>

#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/picture/apng_frames.h"
#include "platform/picture/frames/composed_frames.h"
#include "platform/picture/inflate.h"
#include "platform/picture/png_decoder.h"
#include "png_fuzz_parts.h"

namespace {

using mv::fuzz::Bytes;
using mv::fuzz::chunk;
using mv::fuzz::OverBudget;
using mv::fuzz::PixelMemory;
using mv::fuzz::put32;

// An APNG from the input: bytes 0-3 the canvas (up to 64 x 64, or up to 32768 a side when a
// top bit is set), byte 4 the format, interlacing and whether IEND ends the file, byte 5 the
// palette, byte 6 the frames declared, the plays and whether the default image is frame 0. Then
// frames, each 8 bytes of control (width, height, x, y as bytes, disposal and blending, delay, a
// sequence slip, the data length) and that much data; the default image takes its data the same
// way first.
Bytes madeApng(const uint8_t* d, size_t size) {
    static constexpr uint8_t kFormats[15][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const uint32_t width = 1 + (d[0] & 63) + (d[1] & 0x80 ? (d[1] & 0x7Fu) << 8 : 0);
    const uint32_t height = 1 + (d[2] & 63) + (d[3] & 0x80 ? (d[3] & 0x7Fu) << 8 : 0);
    Bytes file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, header;
    put32(header, width);
    put32(header, height);
    const uint8_t colorType = kFormats[(d[4] & 0x7F) % 15][0], depth = kFormats[(d[4] & 0x7F) % 15][1];
    header.insert(header.end(), {depth, colorType, 0, 0, static_cast<uint8_t>(d[4] >> 7)});
    chunk(file, "IHDR", header.data(), header.size());
    Bytes extra(3 * 256);
    for (size_t i = 0; i < extra.size(); ++i) extra[i] = static_cast<uint8_t>(i * 37 + d[5]);
    if (colorType == 3) chunk(file, "PLTE", extra.data(), 3 * (1 + size_t{d[5]}));
    if (d[5] & 1) chunk(file, "tRNS", extra.data(), d[5] >> 1);
    Bytes control;
    put32(control, d[6] & 15);
    put32(control, d[6] >> 6);
    chunk(file, "acTL", control.data(), control.size());

    const bool imageIsFrame = (d[6] & 0x10) != 0;
    uint32_t sequence = 0;
    size_t at = 7;
    bool first = true;
    while (at + 8 <= size) {
        const uint8_t* c = d + at;
        const size_t length = std::min<size_t>(c[7], size - at - 8);
        const bool image = first && imageIsFrame;
        control.clear();
        sequence += c[6] & 3;  // mostly 0: in order
        put32(control, sequence++);
        put32(control, image ? width : c[0] % (width + 1));
        put32(control, image ? height : c[1] % (height + 1));
        put32(control, image ? 0 : c[2] % width);
        put32(control, image ? 0 : c[3] % height);
        control.insert(control.end(), {0, c[5], 0, static_cast<uint8_t>(c[5] & 7 ? 100 : 0), static_cast<uint8_t>(c[4] & 3),
                                       static_cast<uint8_t>(c[4] >> 2 & 1)});
        if (first && !imageIsFrame) chunk(file, "IDAT", c + 8, length);
        if (!(first && !imageIsFrame) || c[4] & 8) chunk(file, "fcTL", control.data(), control.size());
        if (image) {
            chunk(file, "IDAT", c + 8, length);
        } else if (!first || c[4] & 8) {
            Bytes data;
            put32(data, sequence++);
            data.insert(data.end(), c + 8, c + 8 + length);
            chunk(file, "fdAT", data.data(), data.size());
        }
        first = false;
        at += 8 + length;
    }
    if (!(d[4] & 0x40)) chunk(file, "IEND", nullptr, 0);  // or cut off without it
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static PixelMemory memory;
    static const bool installed = (std::pmr::set_default_resource(&memory), true);
    (void)installed;
    memory.inputSize = size;
    auto bytes = std::make_shared<Bytes>(data, data + size);
    if (!mv::isPngFile(*bytes)) {
        if (size < 7) return 0;
        *bytes = madeApng(data, size);
    }
    const mv::FrameSourcePtr source = mv::openApng(bytes);
    if (!source) return 0;
    const int w = source->canvasWidth(), h = source->canvasHeight();
    if (w <= 0 || h <= 0 || w > mv::kMaxPictureSide || h > mv::kMaxPictureSide || int64_t{w} * h > mv::kMaxPicturePixels)
        __builtin_trap();
    const auto& frames = source->frames();
    if (frames.empty() || source->loopCount() < 0) __builtin_trap();
    for (size_t k = 0; k < frames.size(); ++k) {
        const mv::FrameInfo& f = frames[k];
        if (f.width <= 0 || f.height <= 0 || f.x < 0 || f.y < 0 || f.x + int64_t{f.width} > w ||
            f.y + int64_t{f.height} > h || f.delayMs < 0)
            __builtin_trap();
        if (k == 0 && f.dispose == mv::FrameDispose::Restore) __builtin_trap();
        try {
            const mv::Bitmap b = source->decodeFrame(static_cast<int>(k));
            if (b.width != f.width || b.height != f.height || b.pixels.size() != size_t(f.width) * size_t(f.height))
                __builtin_trap();
        } catch (const OverBudget&) {
        } catch (const mv::PlatformError& e) {
            if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
        }
    }
    // The frames composed as the show paints them, each over what the ones before it left.
    if (int64_t{w} * h > mv::fuzz::kFuzzPixels) return 0;
    const mv::ComposedFrames composed = mv::ComposeFrames(source);
    mv::Bitmap screen;
    screen.resize(16, 12);
    for (const mv::PicturePtr& frame : composed.frames) {
        try {
            frame->stretchTo(screen, -3, 2, 20, 9, 0x804020);
        } catch (const OverBudget&) {
        } catch (const mv::PlatformError& e) {
            if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
        }
    }
    return 0;
}
