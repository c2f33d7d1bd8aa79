#pragma once
// The parts of a GIF file needed to show its first image, kept compact: the compressed
// pixel data stays compressed until the picture is painted.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mv::gif {

// Colours as 0xFFRRGGBB; indices past the colour table are black.
using Palette = std::array<uint32_t, 256>;
using PalettePtr = std::shared_ptr<const Palette>;

// Indices shown as shades of grey: the colours of a GIF without a colour table.
PalettePtr greyPalette();

struct GifImage {
    int canvasWidth = 0;   // logical screen: the size of the picture
    int canvasHeight = 0;
    int left = 0;          // the image's rectangle on the logical screen (may reach past it)
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    int transparentIndex = -1;          // -1: every index is opaque
    int disposal = 0;                   // what becomes of the image's rectangle after it is shown
    // Shared with the frames before when they have the same colours: a long animation keeps
    // one table, not one per frame.
    PalettePtr palette = greyPalette();
    int minCodeSize = 2;
    std::vector<uint8_t> lzw;           // the image's data sub-blocks joined, lengths removed
    // Where the data sub-blocks lie in the parsed bytes: from the first length byte to past
    // the terminator (or the end of the bytes, for data cut short).
    size_t dataBegin = 0, dataEnd = 0;
};

// The data sub-blocks from their first length byte on, joined with the lengths removed; stops
// at the terminator or wherever the bytes end. Appends to `out`.
void joinSubBlocks(const uint8_t* bytes, size_t size, std::vector<uint8_t>& out);

// Reads the first image of a GIF file. Tolerates a missing trailer and a data stream that
// stops anywhere (even inside a sub-block or without its terminator). Throws
// PlatformError(ErrInvalidPicture) when there is no image or the sizes are absurd.
GifImage parseGif(const uint8_t* bytes, size_t size);

}  // namespace mv::gif
