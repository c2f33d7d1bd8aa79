// libFuzzer target for the Exif date and position reader: any bytes, read as they are, as a
// JPEG and as a PNG's eXIf chunk, give facts that can be true.
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/picture/exif_facts.h"

namespace {

void check(const std::vector<uint8_t>& bytes) {
    const mv::ExifFacts facts = mv::exifFacts(bytes);
    if (facts.taken) {
        const mv::TakenAt& t = *facts.taken;
        if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 ||
            t.hour > 23 || t.minute < 0 || t.minute > 59)
            __builtin_trap();
    }
    if (facts.position) {
        const mv::GpsPosition& p = *facts.position;
        if (!(std::abs(p.latitude) <= 90) || !(std::abs(p.longitude) <= 180)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    check(std::vector<uint8_t>(data, data + size));
    // As a JPEG too, so that inputs without the two start bytes reach the segment walk.
    std::vector<uint8_t> jpeg = {0xFF, 0xD8};
    jpeg.insert(jpeg.end(), data, data + size);
    check(jpeg);
    // As a PNG whose first chunk is eXIf holding the input, so the TIFF walk is reached at once.
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const auto length = static_cast<uint32_t>(size);
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<uint8_t>(length >> shift));
    png.insert(png.end(), {'e', 'X', 'I', 'f'});
    png.insert(png.end(), data, data + size);
    png.insert(png.end(), 4, 0);  // the chunk's CRC, which is not checked
    check(png);
    return 0;
}
