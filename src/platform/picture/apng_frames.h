#pragma once
// The frames of an animated PNG (its acTL, fcTL and fdAT chunks), read by the portable PNG
// reader.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture/frames/frame_source.h"

namespace mv {

// The animation in a PNG file, its frames listed at once and each decoded when asked for; the
// source shares the file's bytes and keeps only where each frame's data lies in them.
// Null when the file is not an animated PNG that can be played: no acTL before the image data,
// no frames, or a first frame that is broken; the file is then a still for decodePng, which
// refuses what is no PNG at all. The frames end before the first that cannot be played (its
// control chunk malformed or outside the canvas, its sequence number out of order, its data
// missing, cut short or more than it can decompress to), so a truncated file plays the frames it
// holds whole. The default image is frame 0 only when a frame control chunk comes before it.
FrameSourcePtr openApng(std::shared_ptr<const std::vector<uint8_t>> bytes);

}  // namespace mv
