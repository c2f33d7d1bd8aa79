#pragma once
// The byte scan that cuts a GIF file into frames without parsing its blocks: a frame starts
// at every graphic control extension that directly follows a block terminator.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mv::anim {

constexpr size_t kNoBoundary = static_cast<size_t>(-1);

// The lowest offset k >= start with bytes 0x00 0x21 0xF9 at k, or kNoBoundary.
size_t findBoundary(const std::vector<uint8_t>& bytes, size_t start);

// The delay of a frame chunk (it starts at the 0xF9 label) in milliseconds. Throws
// ErrSubscript for a chunk too short to be a frame: under 5 bytes, under 12 after frame 0.
long chunkDelayMs(const uint8_t* chunk, size_t size, int frameIndex);

}  // namespace mv::anim
