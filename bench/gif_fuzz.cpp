// libFuzzer target for the GIF reader and the splitter's byte scan: any input must either be
// refused with ErrInvalidPicture or decode and paint within bounds. The LZW decoder must also
// agree byte for byte with a plain one, on the image's data and on the input taken as data.
#include <cstdint>
#include <vector>

#include "anim/gif_split.h"
#include "fuzz_budget.h"
#include "lzw_reference.h"
#include "platform/error.h"
#include "platform/picture/gif/gif_lzw.h"
#include "platform/picture/gif/gif_picture.h"

namespace {

// Both decoders into outputs prefilled with the same uneven bytes, so that a byte either one
// writes or leaves alone shows.
void compareLzw(const uint8_t* data, size_t size, int minCodeSize, size_t outSize) {
    std::vector<uint8_t> ours(outSize), theirs(outSize);
    for (size_t i = 0; i < outSize; ++i) ours[i] = theirs[i] = static_cast<uint8_t>(i * 167 + 13);
    const size_t a = mv::gif::lzwDecode(data, size, minCodeSize, ours.data(), outSize);
    const size_t b = mv::fuzz::lzwDecodeReference(data, size, minCodeSize, theirs.data(), outSize);
    if (a != b || ours != theirs) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    mv::anim::SourceBytes source(7);
    source.assign(bytes);
    for (size_t k = source.findBoundary(0); k != mv::anim::kNoBoundary; k = source.findBoundary(k + 1))
        if (source.at(k) != 0x00) __builtin_trap();
    if (size >= 3) compareLzw(data + 3, size - 3, 1 + data[0] % 8, 1 + (size_t{data[1]} << 8 | data[2]));
    if (!mv::fuzz::gifWorthDecoding(data, size)) return 0;
    try {
        const auto image = mv::gif::parseGif(bytes.data(), bytes.size());
        compareLzw(image.lzw.data(), image.lzw.size(), image.minCodeSize,
                   static_cast<size_t>(image.width) * static_cast<size_t>(image.height) % 70001);
        auto picture = mv::decodeGifPicture(bytes);
        mv::Bitmap target;
        target.resize(37, 23, 0);
        picture->stretchTo(target, -5, 3, 50, 19, 0x123456);
        picture->stretchTo(target, 0, 0, 1, 1, 0);
    } catch (const mv::PlatformError& e) {
        if (e.number() != mv::ErrInvalidPicture) __builtin_trap();
    }
    return 0;
}
