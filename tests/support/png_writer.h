#pragma once
// Writes PNG files for the tests: any colour type and depth, rows given as stored bytes. The
// image data is deflated with fixed codes, a byte that repeats the pixel before it joining a
// run, so a large picture of few colours makes a small file.
#include <cstdint>
#include <functional>
#include <vector>

namespace mv::test {

struct PngPlan {
    int width = 1, height = 1;
    int depth = 8;
    int colorType = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
    bool interlaced = false;  // Adam7: `row` is then asked for each pass's rows, by pass
    std::vector<uint8_t> palette, transparency;  // PLTE and tRNS contents, when not empty
    // The stored bytes (without the filter byte) of row `y` of `pass`, `bytes` long.
    std::function<void(int pass, int y, uint8_t* row, size_t bytes)> row;
};

std::vector<uint8_t> writePng(const PngPlan& plan);

}  // namespace mv::test
