#include "anim/gif_split.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/error.h"
#include "platform/files/files.h"

namespace mv::anim {

void SourceBytes::attach(files::FileTable& table, int number, size_t length) {
    table_ = &table;
    number_ = number;
    size_ = length;
    blocks_.clear();
    blocks_.resize((length + block_ - 1) / block_);
    resident_.clear();
}

void SourceBytes::assign(const std::vector<uint8_t>& bytes) {
    table_ = nullptr;
    resident_.clear();
    blocks_.clear();
    for (size_t from = 0; from < bytes.size(); from += block_) {
        const size_t n = std::min(block_, bytes.size() - from);
        auto block = std::make_unique<uint8_t[]>(n);
        std::memcpy(block.get(), bytes.data() + from, n);
        blocks_.push_back(std::move(block));
    }
    size_ = bytes.size();
}

const uint8_t* SourceBytes::blockAt(size_t index) const {
    if (index >= blocks_.size()) throw PlatformError(ErrSubscript, "Past the end of the file");
    if (!blocks_[index]) {
        const size_t from = index * block_, n = std::min(block_, size_ - from);
        // The oldest block's memory takes the new one: no fresh pages to fault in per block.
        std::unique_ptr<uint8_t[]> block;
        if (resident_.size() >= kResidentBlocks) {
            block = std::move(blocks_[resident_.front()]);
            resident_.erase(resident_.begin());
        } else {
            block.reset(new uint8_t[block_]);
        }
        table_->readAt(number_, static_cast<int64_t>(from), block.get(), n);
        blocks_[index] = std::move(block);
        resident_.push_back(index);
    }
    return blocks_[index].get();
}

std::vector<uint8_t> SourceBytes::copy(size_t from, size_t to) const {
    std::vector<uint8_t> out;
    out.reserve(to - from);
    forEach(from, to, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); });
    return out;
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

namespace {

// The first i in [from, to) where p[i - 1] is 0x21 and p[i] is 0xF9 (p[from - 1] readable), or
// `to`. In image data that pair turns up once in 64 KB, where 0xF9 alone turns up every 256
// bytes: sixteen positions are checked at a time.
size_t findIntroducedLabel(const uint8_t* p, size_t from, size_t to) {
    size_t i = from;
#if defined(__SSE2__)
    const __m128i introducer = _mm_set1_epi8(0x21), label = _mm_set1_epi8(static_cast<char>(0xF9));
    for (; i + 16 <= to; i += 16) {
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i - 1));
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const int hits = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(before, introducer), _mm_cmpeq_epi8(here, label)));
        if (hits) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(hits)));
    }
#endif
    for (; i < to; ++i)
        if (p[i] == 0xF9 && p[i - 1] == 0x21) return i;
    return to;
}

}  // namespace

size_t SourceBytes::findBoundary(size_t start, size_t limit) const {
    limit = std::min(limit, size_ >= 2 ? size_ - 2 : 0);
    // Look for the label 0xF9 right after the introducer 0x21, then check the rest.
    size_t label = start + 2;
    while (label < limit + 2) {
        const size_t b = label / block_, offset = label % block_;
        if (offset == 0) {  // the byte before lies in the block before
            if (boundaryAt(label - 2)) return label - 2;
            ++label;
            continue;
        }
        const size_t span = std::min(block_ - offset, limit + 2 - label);
        const uint8_t* base = blockAt(b);
        const size_t hit = findIntroducedLabel(base, offset, offset + span);
        label += hit - offset;
        if (hit == offset + span) continue;
        if (boundaryAt(label - 2)) return label - 2;
        ++label;
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
