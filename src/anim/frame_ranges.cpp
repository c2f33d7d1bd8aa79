#include "anim/frame_ranges.h"

namespace mv::anim {

namespace {
// How much of the file one slice of a search reads before `between` runs: even a huge file
// without boundaries then leaves input handled within a fraction of a second.
constexpr size_t kSearchSlice = size_t{4} << 20;
}  // namespace

FrameRanges::FrameRanges(const SourceBytes& bytes) : bytes_(bytes) {
    const size_t first = bytes.findFirstBoundary();
    prefixLength_ = first == kNoBoundary ? 1 : first + 2;
    start_ = prefixLength_;
}

std::optional<Chunk> FrameRanges::next(const std::function<bool()>& between) {
    if (done_ || stopped_) return std::nullopt;
    const size_t length = bytes_.size();
    for (size_t from = start_ + 1;; from += kSearchSlice) {
        const size_t found = bytes_.findBoundary(from, from + kSearchSlice);
        if (found != kNoBoundary) {
            const Chunk chunk{start_, found + 2};
            start_ = found + 2;
            return chunk;
        }
        if (from + kSearchSlice >= length) break;
        if (between && !between()) {
            stopped_ = true;
            return std::nullopt;
        }
    }
    done_ = true;
    return std::nullopt;
}

std::optional<Chunk> FrameRanges::last() const {
    if (start_ + 2 < bytes_.size()) return Chunk{start_, bytes_.size() - 2};
    return std::nullopt;
}

}  // namespace mv::anim
