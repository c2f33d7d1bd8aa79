// libFuzzer target for the Windows still-picture path: the bundled stb_image decoder behind the
// loader, built for Linux so that it runs under the sanitizers.
#include <cstdlib>

#include "platform/win32/win_still_decoder.h"
#include "still_fuzz.h"

namespace {

// Read here rather than with stb's header reader, which on a JPEG already builds the Huffman
// tables that the decoder under test checks first.
bool declaredSize(const uint8_t* d, size_t size, int64_t& w, int64_t& h) {
    const auto le = [&](size_t i, int bytes) {
        uint32_t v = 0;
        for (int k = bytes - 1; k >= 0; --k) v = v << 8 | d[i + k];
        return bytes == 2 ? int64_t{static_cast<int16_t>(v)} : int64_t{static_cast<int32_t>(v)};
    };
    if (size >= 26 && d[0] == 'B' && d[1] == 'M') {
        const bool core = d[14] == 12;  // the old OS/2 header has 16-bit sizes
        w = core ? le(18, 2) : le(18, 4);
        h = std::llabs(core ? le(20, 2) : le(22, 4));
        return true;
    }
    if (size >= 24 && d[0] == 0x89 && d[1] == 'P' && d[2] == 'N' && d[3] == 'G') {  // IHDR, big-endian
        const auto be = [&](size_t i) { return int64_t{d[i]} << 24 | d[i + 1] << 16 | d[i + 2] << 8 | d[i + 3]; };
        w = be(16);
        h = be(20);
        return true;
    }
    for (size_t i = 0; i + 8 < size; ++i) {
        const unsigned m = d[i + 1];
        if (d[i] == 0xFF && m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC) {
            h = d[i + 5] << 8 | d[i + 6];
            w = d[i + 7] << 8 | d[i + 8];
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static mv::fuzz::LoaderPlatform platform(mv::win32::decodeStillStb, declaredSize);
    mv::fuzz::loadAndPaint(platform, data, size);
    return 0;
}
