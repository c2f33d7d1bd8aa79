#pragma once
// A small GIF encoder for tests and benchmarks: real LZW compression, partial frames at
// offsets, local colour tables, interlace and transparency.
#include <cstdint>
#include <string>
#include <vector>

namespace mv::test {

struct GifFramePlan {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> indices;        // width x height, row by row (in display order)
    int delayCs = 0;                     // hundredths of a second
    int transparent = -1;                // transparent index, -1 for none
    int disposal = -1;                   // disposal method; -1: 2 with a transparent index, else 1
    bool interlaced = false;
    bool control = true;                 // write a graphic control extension
    std::vector<uint32_t> localPalette;  // 0x00RRGGBB; empty: use the global table
};

struct GifPlan {
    int width = 0, height = 0;
    std::vector<uint32_t> globalPalette;  // 0x00RRGGBB; empty: no global table
    std::string version = "89a";
    bool loopExtension = true;
    bool trailer = true;
    std::vector<GifFramePlan> frames;
};

std::vector<uint8_t> lzwEncode(const uint8_t* indices, size_t count, int minCodeSize);
std::vector<uint8_t> writeGif(const GifPlan& plan);
// A frame of one colour index covering the whole logical screen.
GifFramePlan solidFrame(int width, int height, uint8_t index, int delayCs);
// Red, green, blue, white, black, then greys.
std::vector<uint32_t> basicPalette();

}  // namespace mv::test
