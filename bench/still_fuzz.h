#pragma once
// Shared by the still-picture fuzz targets: the input is written to a file and read back by the
// picture loader, with its size guard and GIF routing, on a scripted platform whose still
// decoder is the backend's own. Any input must either load as a picture within the size guard
// and paint within bounds, or be refused with ErrInvalidPicture.
#include <cstdint>
#include <vector>

#include "fuzz_budget.h"
#include "platform/error.h"
#include "platform/picture/load_picture.h"
#include "support/fake_platform.h"

namespace mv::fuzz {

using StillDecoder = PicturePtr (*)(const std::vector<uint8_t>&, const DecodeFloor&);
// The size the decoder's header reader finds, false when it finds none.
using DeclaredSize = bool (*)(const uint8_t* data, size_t size, int64_t& w, int64_t& h);

class LoaderPlatform final : public test::FakePlatform {
public:
    LoaderPlatform(StillDecoder decode, DeclaredSize size) : decode_(decode), size_(size) {}
    PicturePtr decodeStill(const std::vector<uint8_t>& bytes) override { return decode_(bytes, {}); }
    PicturePtr decodeStillAtLeast(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) override {
        return decode_(bytes, floor);
    }
    bool worthLoading(const uint8_t* data, size_t size) const {
        if (size >= 4 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8')
            return gifWorthDecoding(data, size);
        int64_t w = 0, h = 0;
        return !size_(data, size, w, h) || worthDecoding(w, h);
    }

private:
    StillDecoder decode_;
    DeclaredSize size_;
};

inline void loadAndPaint(LoaderPlatform& platform, const uint8_t* data, size_t size) {
    if (!platform.worthLoading(data, size)) return;
    const std::string path = platform.dir.write("input", std::vector<uint8_t>(data, data + size));
    // Whole, and decoded for a small place where a decoder may read it smaller.
    for (const ShownAreas& shown : {ShownAreas{}, ShownAreas{{{0, 0, 5, 3}}, PicturePlacement::Fit}}) {
        try {
            checkPicture(LoadPicture(platform, path, shown));
        } catch (const PlatformError& e) {
            if (e.number() != ErrInvalidPicture) __builtin_trap();
        }
    }
}

}  // namespace mv::fuzz
