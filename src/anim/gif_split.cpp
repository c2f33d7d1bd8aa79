#include "gif_split.h"

#include <algorithm>
#include <cstring>

#include "../platform/error.h"
#include "../platform/files.h"

namespace mv::anim {

void SourceBytes::read(files::FileTable& table, int number, size_t length) {
    blocks_.clear();
    size_ = 0;
    for (size_t from = 0; from < length; from += block_) {
        const size_t n = std::min(block_, length - from);
        auto block = std::make_unique<uint8_t[]>(n);
        table.readAt(number, static_cast<int64_t>(from), block.get(), n);
        blocks_.push_back(std::move(block));
    }
    size_ = length;
}

void SourceBytes::assign(const std::vector<uint8_t>& bytes) {
    blocks_.clear();
    for (size_t from = 0; from < bytes.size(); from += block_) {
        const size_t n = std::min(block_, bytes.size() - from);
        auto block = std::make_unique<uint8_t[]>(n);
        std::memcpy(block.get(), bytes.data() + from, n);
        blocks_.push_back(std::move(block));
    }
    size_ = bytes.size();
}

std::vector<uint8_t> SourceBytes::copy(size_t from, size_t to) const {
    std::vector<uint8_t> out;
    out.reserve(to - from);
    forEach(from, to, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); });
    return out;
}

void SourceBytes::releaseBefore(size_t offset) {
    for (size_t b = 0; b < blocks_.size() && (b + 1) * block_ <= offset; ++b) blocks_[b].reset();
}

size_t SourceBytes::residentBlocks() const {
    return static_cast<size_t>(std::count_if(blocks_.begin(), blocks_.end(), [](const auto& b) { return b != nullptr; }));
}

bool SourceBytes::boundaryAt(size_t k) const {
    if (k + 2 >= size_ || at(k) != 0x00 || at(k + 1) != 0x21 || at(k + 2) != 0xF9) return false;
    if (k + 3 < size_ && at(k + 3) != 0x04) return false;
    if (k + 8 < size_ && at(k + 8) != 0x00) return false;
    return true;
}

size_t SourceBytes::findBoundary(size_t start) const {
    if (size_ < 3) return kNoBoundary;
    size_t k = start;
    while (k + 2 < size_) {
        // Jump to the next 0x00 within the current block, then test the pattern there.
        const size_t b = k / block_, offset = k % block_;
        const size_t blockLen = std::min(block_, size_ - b * block_);
        const uint8_t* base = blocks_[b].get();
        const void* hit = std::memchr(base + offset, 0x00, blockLen - offset);
        if (!hit) {
            k = b * block_ + blockLen;
            continue;
        }
        k = b * block_ + static_cast<size_t>(static_cast<const uint8_t*>(hit) - base);
        if (k + 2 >= size_) break;
        if (boundaryAt(k)) return k;
        ++k;
    }
    return kNoBoundary;
}

size_t SourceBytes::findFirstBoundary() const {
    if (size_ >= 13 && at(0) == 'G' && at(1) == 'I' && at(2) == 'F') {
        const uint8_t flags = at(10);
        const size_t end = 13 + ((flags & 0x80) ? size_t{3} << ((flags & 7) + 1) : 0);
        if (end + 1 < size_ && at(end) == 0x21 && at(end + 1) == 0xF9 && (end + 2 >= size_ || at(end + 2) == 0x04) &&
            (end + 7 >= size_ || at(end + 7) == 0x00))
            return end - 1;
    }
    return findBoundary(0);
}

long chunkDelayMs(const SourceBytes& bytes, size_t from, size_t to, int frameIndex) {
    const size_t size = to - from;
    if (size < 5 || (frameIndex >= 1 && size < 12)) throw PlatformError(ErrSubscript, "Frame too short");
    const long hundredths = static_cast<long>(bytes.at(from + 3)) + 256L * bytes.at(from + 4);
    return (hundredths <= 1 ? 10 : hundredths) * 10;
}

}  // namespace mv::anim
