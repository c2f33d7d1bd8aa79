#pragma once
// Shared by the fuzz targets of the library-bound photo decoders: each input is decoded whole
// and for a third of its size, and must either give a picture within the size guard that
// paints within bounds, or be refused with ErrInvalidPicture. The decoders ask their floor with
// the declared size before any pixel is decoded, which is where inputs over the fuzz budget are
// left out.
#include <cstdint>
#include <vector>

#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/picture/decode_size.h"
#include "platform/picture/picture.h"

namespace mv::fuzz {

struct OverBudget {};

using PhotoDecoder = PicturePtr (*)(const std::vector<uint8_t>&, const DecodeFloor&);

inline void decodeBounded(PhotoDecoder decode, const std::vector<uint8_t>& bytes) {
    for (const int part : {1, 3}) {
        const DecodeFloor floor = [part](int w, int h) {
            if (!worthDecoding(w, h)) throw OverBudget{};
            return PixelSize{w / part, h / part};
        };
        try {
            checkPicture(decode(bytes, floor));
        } catch (const PlatformError& e) {
            if (e.number() != ErrInvalidPicture) __builtin_trap();
        } catch (const OverBudget&) {
            return;
        }
    }
}

}  // namespace mv::fuzz
