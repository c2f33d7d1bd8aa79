// libFuzzer target for the Exif orientation reader: any bytes give an orientation from 1 to 8,
// and turning a picture by it keeps every pixel.
#include <cstdint>
#include <vector>

#include "platform/picture/exif_orientation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    // As a JPEG too, so that inputs without the two start bytes reach the segment walk.
    std::vector<uint8_t> jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), data, data + size);
    for (const auto* input : {&bytes, &jpeg}) {
        const int orientation = mv::exifOrientation(*input);
        if (orientation < 1 || orientation > 8) __builtin_trap();
        mv::Bitmap stored;
        stored.resize(3, 2);
        for (size_t i = 0; i < stored.pixels.size(); ++i) stored.pixels[i] = static_cast<uint32_t>(i);
        const mv::Bitmap seen = mv::orientedPixels(stored, orientation);
        if (seen.pixels.size() != stored.pixels.size()) __builtin_trap();
        uint32_t mask = 0;
        for (uint32_t p : seen.pixels) mask |= 1u << p;
        if (mask != 0x3Fu) __builtin_trap();
    }
    return 0;
}
