#pragma once
// Where the split cuts a GIF file, one boundary search at a time: the header prefix that every
// frame file starts with, then each frame's chunk. Pure arithmetic on the bytes; the caller
// writes, decodes and processes events between the searches.
#include <cstddef>
#include <functional>
#include <optional>

#include "anim/gif_split.h"

namespace mv::anim {

struct Chunk {
    size_t from = 0, to = 0;  // source bytes [from, to)
    bool operator==(const Chunk&) const = default;
};

class FrameRanges {
public:
    explicit FrameRanges(const SourceBytes& bytes);

    // The header prefix: everything up to and including the first boundary's 0x21, or the
    // first byte alone when the file has no boundary.
    size_t prefixLength() const { return prefixLength_; }

    // One boundary search from the end of the previous chunk: the chunk up to and including
    // the next boundary's 0x21, or nullopt when no boundary is left (then done()). `between`
    // runs between slices of a long search; when it returns false the search stops there
    // (stopped(), and nothing is returned).
    std::optional<Chunk> next(const std::function<bool()>& between = {});
    bool done() const { return done_; }
    bool stopped() const { return stopped_; }

    // After the last search: the last frame's chunk, up to the source's last two bytes (in a
    // well-formed file the last terminator and the trailer), when the file leaves one.
    std::optional<Chunk> last() const;

private:
    const SourceBytes& bytes_;
    size_t prefixLength_;
    size_t start_;
    bool done_ = false;
    bool stopped_ = false;
};

}  // namespace mv::anim
