#include "platform/picture/tiff_directory.h"

#include <cstring>

namespace mv::tiff {

namespace {

size_t typeSize(uint16_t type) {
    switch (type) {
        case kByte: case kAscii: case kUndefined: case 6: return 1;  // 6: signed byte
        case kShort: case 8: return 2;
        case kLong: case 9: case 11: case kIfd: return 4;
        case kRational: case 10: case 12: return 8;
        default: return 0;  // unknown: its size cannot be known, so its value is never read
    }
}

uint32_t bigEndian32(const uint8_t* p) { return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]; }

Span jpegExif(const uint8_t* b, size_t n) {
    size_t pos = 2;
    while (pos + 4 <= n) {
        if (b[pos] != 0xFF) return {};
        const uint8_t marker = b[pos + 1];
        if (marker == 0xFF) { ++pos; continue; }  // fill byte
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) { pos += 2; continue; }  // no length
        if (marker == 0xDA || marker == 0xD9) return {};  // image data: no Exif before it
        const size_t length = size_t{b[pos + 2]} << 8 | b[pos + 3];
        if (length < 2 || length > n - pos - 2) return {};
        const uint8_t* body = b + pos + 4;
        const size_t bodyLength = length - 2;
        if (marker == 0xE1 && bodyLength >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0)
            return {body + 6, bodyLength - 6};
        pos += 2 + length;
    }
    return {};
}

Span pngExif(const uint8_t* b, size_t n) {
    size_t pos = 8;
    while (pos + 12 <= n) {
        const size_t length = bigEndian32(b + pos);
        if (length > n - pos - 12) return {};
        const uint8_t* body = b + pos + 8;
        if (std::memcmp(b + pos + 4, "eXIf", 4) == 0) {
            // Some writers keep the JPEG segment's header in front of the structure.
            if (length >= 6 && std::memcmp(body, "Exif\0\0", 6) == 0) return {body + 6, length - 6};
            return {body, length};
        }
        if (std::memcmp(b + pos + 4, "IEND", 4) == 0) return {};
        pos += 12 + length;
    }
    return {};
}

}  // namespace

Span exifSpan(const uint8_t* b, size_t n) {
    if (n >= 4 && b[0] == 0xFF && b[1] == 0xD8) return jpegExif(b, n);
    if (n >= 8 && std::memcmp(b, "\x89PNG\r\n\x1a\n", 8) == 0) return pngExif(b, n);
    return {};
}

Directory::Directory(Span tiff) : t_(tiff) {
    if (t_.size < 8) return;
    little_ = t_.data[0] == 'I' && t_.data[1] == 'I';
    if (!little_ && !(t_.data[0] == 'M' && t_.data[1] == 'M')) return;
    if (u16(2) != 42) return;
    first_ = u32(4);
    valid_ = true;
}

uint16_t Directory::u16(size_t at) const {
    const uint8_t* p = t_.data + at;
    return static_cast<uint16_t>(little_ ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
}

uint32_t Directory::u32(size_t at) const {
    return little_ ? u16(at) | uint32_t{u16(at + 2)} << 16 : uint32_t{u16(at)} << 16 | u16(at + 2);
}

uint32_t Directory::pointer(const Entry& e) const {
    return (e.type == kLong || e.type == kIfd) && e.count == 1 ? u32(e.at) : 0;
}

void Directory::forEach(size_t offset, const std::function<void(const Entry&)>& visit) const {
    const size_t n = t_.size;
    if (!valid_ || offset < 8 || offset > n || n - offset < 2) return;
    const size_t entries = u16(offset);
    for (size_t i = 0; i < entries; ++i) {
        const size_t e = offset + 2 + 12 * i;
        if (e + 12 > n) return;
        Entry entry{u16(e), u16(e + 2), u32(e + 4), e + 8};
        const uint64_t valueSize = uint64_t{entry.count} * typeSize(entry.type);
        if (typeSize(entry.type) == 0) continue;
        if (valueSize > 4) {
            entry.at = u32(e + 8);
            if (entry.at > n || valueSize > n - entry.at) continue;
        }
        visit(entry);
    }
}

}  // namespace mv::tiff
