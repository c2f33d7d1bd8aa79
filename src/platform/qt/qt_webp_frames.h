#pragma once
// An animated WebP's frames as its file describes them, each decoded when asked.
#include <cstdint>
#include <vector>

#include "platform/picture/frames/frame_source.h"

namespace mv::qt {

// Whether the bytes are a WebP that says it is animated (the extended header's animation flag).
bool isAnimatedWebp(const std::vector<uint8_t>& bytes);

// The frames of an animated WebP, null for any other file. The canvas is checked against the
// size guard before anything is decoded. Throws ErrInvalidPicture for an animated WebP whose
// frames cannot be read.
FrameSourcePtr openWebpFrames(std::vector<uint8_t> bytes);

}  // namespace mv::qt
