#pragma once
// The TIFF structure that carries a photo's Exif data, read without trusting a single offset:
// every value is checked to lie inside the structure before it is read.
#include <cstddef>
#include <cstdint>
#include <functional>

namespace mv::tiff {

// Where a picture file keeps its Exif TIFF structure: a JPEG's first Exif APP1 segment before
// the image data, or a PNG's eXIf chunk. Size 0 when there is none.
struct Span {
    const uint8_t* data = nullptr;
    size_t size = 0;
};
Span exifSpan(const uint8_t* bytes, size_t size);

enum Type : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5, kUndefined = 7, kIfd = 13 };

// One directory entry whose value lies whole inside the structure: `at` is the offset of the
// value's first byte, inline in the entry when it fits in four bytes.
struct Entry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    size_t at = 0;
};

class Directory {
public:
    // An empty structure, or one that does not start with a TIFF header, reads as no entries.
    explicit Directory(Span tiff);

    bool valid() const { return valid_; }
    uint32_t first() const { return first_; }  // offset of the first image directory

    // Calls `visit` for each entry of the directory at `offset` whose value is readable;
    // entries past the structure's end, and directories that are not in it, end the walk.
    void forEach(size_t offset, const std::function<void(const Entry&)>& visit) const;

    // Reads at an offset that forEach has checked.
    uint16_t u16(size_t at) const;
    uint32_t u32(size_t at) const;
    const uint8_t* bytes(size_t at) const { return t_.data + at; }
    // The directory offset an entry of LONG or IFD type with count 1 points to; 0 when it is
    // anything else.
    uint32_t pointer(const Entry& e) const;

private:
    Span t_;
    bool little_ = false;
    bool valid_ = false;
    uint32_t first_ = 0;
};

}  // namespace mv::tiff
