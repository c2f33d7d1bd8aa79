#pragma once
// The frames of an APNG or animated WebP as a viewer shows them: each frame's canvas is what
// the frames before it left, after their disposal, with the frame drawn over it. A canvas is made
// when its frame is first prepared or painted, from the canvas before it, and kept for the next
// round when the whole loop fits the same budget a GIF's loop has; a longer loop keeps only the
// first canvas and the last few, and a new round composes again from the start.
#include <vector>

#include "platform/picture/frames/frame_source.h"
#include "platform/picture/picture.h"

namespace mv {

struct ComposedFrames {
    std::vector<PicturePtr> frames;  // frame k as it shows, a canvas-sized picture each
    std::vector<long> delaysMs;      // as the file gives them
    int loops = 0;                   // plays of the whole animation, 0 for ever
};

// Nothing is decoded here; each picture decodes and composes when prepared or painted, and
// throws ErrInvalidPicture then for a frame whose data cannot be decoded.
ComposedFrames ComposeFrames(FrameSourcePtr source);

// Frame 0's canvas alone, for an animation shown as a still.
PicturePtr FirstFrameStill(const FrameSource& source);

}  // namespace mv
