#pragma once
#include <cstdint>
#include <vector>

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

}  // namespace mv
