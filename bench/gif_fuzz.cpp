// libFuzzer target for the GIF reader and the splitter's byte scan: any input must either be
// refused with ErrInvalidPicture or decode and paint within bounds.
#include <cstdint>
#include <vector>

#include "anim/gif_split.h"
#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/picture/gif/gif_picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    mv::anim::SourceBytes source(7);
    source.assign(bytes);
    for (size_t k = source.findBoundary(0); k != mv::anim::kNoBoundary; k = source.findBoundary(k + 1))
        if (source.at(k) != 0x00) __builtin_trap();
    if (!mv::fuzz::gifWorthDecoding(data, size)) return 0;
    try {
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
