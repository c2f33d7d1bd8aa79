#pragma once
// Which of the library-bound readers a file's first bytes call for. The file's name ending is
// not trusted: a photo renamed from .heic to .jpg still opens.
#include <cstddef>
#include <cstdint>

namespace mv::qt {

enum class PictureKind {
    Other,  // left to Qt's image readers
    Heif,   // HEIF/HEIC and AVIF, by their ISO-BMFF brands
    JpegXl,  // bare codestream or container
    WebP,
};

PictureKind pictureKind(const uint8_t* data, size_t size);

}  // namespace mv::qt
