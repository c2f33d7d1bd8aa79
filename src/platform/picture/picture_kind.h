#pragma once
// What a file's first bytes say it is. Its name ending is not trusted: a photo renamed from
// .heic to .jpg still opens, and a folder's picture without an ending is still found.
#include <cstddef>
#include <cstdint>

namespace mv {

enum class PictureKind {
    Other,
    Bmp,
    Jpeg,
    Gif,
    Png,
    Tiff,
    Heif,    // HEIF/HEIC and AVIF, by their ISO-BMFF brands
    JpegXl,  // bare codestream or container
    WebP,
};

// From the first kPictureKindBytes of a file (fewer when the file is shorter).
PictureKind PictureKindOf(const uint8_t* data, size_t size);
constexpr size_t kPictureKindBytes = 32;

}  // namespace mv
