#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/picture/inflate.h"
#include "platform/picture/picture.h"

namespace mv {

bool isPngFile(const std::vector<uint8_t>& bytes);

// Decodes a PNG file into 32-bit pixels with their alpha, the same on every platform. Rows are
// decompressed and converted one at a time straight into the picture, so the memory a picture
// takes is its 32-bit pixels and the file, whatever its bit depth; 16-bit samples are rounded
// to 8 bits. Before any pixel memory is allocated, the size in the header is checked against
// the size guard, and the rows it needs against the most the file's compressed data can
// decompress to. Throws ErrInvalidPicture.
PicturePtr decodePng(const std::vector<uint8_t>& bytes);

// How every image of a PNG file is stored (an animated PNG's frames share it): its header,
// palette and transparency.
struct PngFormat {
    int width = 0, height = 0, depth = 0, colorType = 0;
    bool interlaced = false;
    uint32_t palette[256];  // 0xAARRGGBB, opaque black past the PLTE chunk's entries
    int paletteSize = 0;
    bool keyed = false;  // a grey or RGB value that stands for transparent
    uint16_t key[3] = {0, 0, 0};
    int channels() const {
        static constexpr int kChannels[7] = {1, 0, 3, 1, 2, 0, 4};
        return kChannels[colorType];
    }
};

struct PngChunk {
    const uint8_t* type;
    const uint8_t* data;
    uint32_t length;
    bool is(const char* name) const;
};

// Walks a PNG's chunks, reading the format from IHDR, PLTE and tRNS and handing every other
// chunk to `other` with the format as read so far (the header's part of it whole), in file
// order, up to IEND and that one too; a chunk cut short by the end of the file ends the walk,
// so that what came before it may still do. Throws ErrInvalidPicture for a file
// without the signature, or whose header is missing, malformed or beyond the size guard.
PngFormat readPngChunks(const std::vector<uint8_t>& bytes, const std::function<void(const PngChunk&, const PngFormat&)>& other);

// Whether an image of width x height in the format can be decoded from a zlib stream of
// `compressedBytes`: its filtered rows no more than such a stream can decompress to.
bool pngImageFits(const PngFormat& format, int width, int height, uint64_t compressedBytes);

// One image of width x height in the format, from its zlib stream, as 0xAARRGGBB with straight
// alpha. Checked with pngImageFits before its pixels are allocated. Throws ErrInvalidPicture.
Bitmap decodePngImage(const PngFormat& format, int width, int height, Inflater::Pieces data);

}  // namespace mv
