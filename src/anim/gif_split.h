#pragma once
// The byte scan that cuts a GIF file into frames without parsing its blocks: a frame starts
// at every graphic control extension that directly follows a block terminator.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace mv::files {
class FileTable;
}

namespace mv::anim {

constexpr size_t kNoBoundary = static_cast<size_t>(-1);

// A GIF file's bytes, read in blocks as the split reaches them; only the last few blocks
// stay in memory, so a file of any size costs a few blocks.
class SourceBytes {
public:
    static constexpr size_t kDefaultBlock = size_t{1} << 20;
    static constexpr size_t kResidentBlocks = 3;

    explicit SourceBytes(size_t blockSize = kDefaultBlock) : block_(blockSize) {}
    // Reads from an open file, which must stay open while the bytes are used.
    void attach(files::FileTable& table, int number, size_t length);
    // Bytes already in memory; all of them stay there.
    void assign(const std::vector<uint8_t>& bytes);

    size_t size() const { return size_; }
    uint8_t at(size_t i) const { return blockAt(i / block_)[i % block_]; }
    // Calls sink(pointer, count) for the consecutive pieces of bytes [from, to).
    template <class Sink>
    void forEach(size_t from, size_t to, Sink&& sink) const {
        while (from < to) {
            const size_t offset = from % block_;
            const size_t n = std::min(to - from, block_ - offset);
            sink(blockAt(from / block_) + offset, n);
            from += n;
        }
    }
    std::vector<uint8_t> copy(size_t from, size_t to) const;
    size_t residentBlocks() const;

    // The lowest offset k with start <= k < limit where a frame boundary starts, or
    // kNoBoundary. A boundary is the bytes 0x00 0x21 0xF9 followed, where the file goes on,
    // by the extension's block size 4 at k + 3 and its terminator 0 at k + 8: the three bytes
    // alone turn up inside the compressed image data of large files, which would cut a frame.
    size_t findBoundary(size_t start, size_t limit = kNoBoundary) const;
    // The first boundary. A graphic control extension right after a GIF's header (its screen
    // descriptor and global colour table) counts whatever byte stands before it: writers put
    // it there directly after a colour table whose last byte need not be 0.
    size_t findFirstBoundary() const;

private:
    const uint8_t* blockAt(size_t index) const;
    bool boundaryAt(size_t k) const;
    size_t block_;
    size_t size_ = 0;
    files::FileTable* table_ = nullptr;
    int number_ = 0;
    mutable std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    mutable std::vector<size_t> resident_;  // indexes of the blocks read from the file, oldest first
};

// The delay of a frame chunk (it starts at the 0xF9 label) in milliseconds; 0 and 1 hundredth
// play as 100 ms, as web browsers play them, so such a frame does not freeze the show. Throws
// ErrSubscript for a chunk too short to be a frame: under 5 bytes, under 12 after frame 0.
long chunkDelayMs(const SourceBytes& bytes, size_t from, size_t to, int frameIndex);

}  // namespace mv::anim
