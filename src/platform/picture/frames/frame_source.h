#pragma once
// The frames of an animated picture other than a GIF (APNG, animated WebP), as their files
// describe them: each frame a rectangle of the canvas with its own delay, drawn over what the
// frames before it left. Decoders report; composing the canvases happens once, in
// composed_frames.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture/bitmap.h"

namespace mv {

// What becomes of a frame's rectangle once its time is up, before the next frame is drawn.
enum class FrameDispose {
    Keep,     // stays as drawn
    Clear,    // cleared to transparent (APNG's and WebP's "background")
    Restore,  // given back what it held before this frame (APNG's "previous")
};

struct FrameInfo {
    int x = 0, y = 0, width = 0, height = 0;  // the frame's rectangle, inside the canvas
    long delayMs = 0;                          // as the file gives it, before any rule for tiny delays
    FrameDispose dispose = FrameDispose::Keep;
    bool blend = true;  // alpha-blended over the canvas; false: replaces the rectangle's pixels
};

class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual int canvasWidth() const = 0;
    virtual int canvasHeight() const = 0;
    // How often the whole animation plays; 0 for ever.
    virtual int loopCount() const = 0;
    // Every frame's description, in playing order; at least one.
    virtual const std::vector<FrameInfo>& frames() const = 0;
    // Frame k's own rectangle (frames()[k].width x height), 0xAARRGGBB with straight alpha.
    // Called on one thread at a time, not necessarily the same one, in any order (mostly
    // ascending). Throws PlatformError(ErrInvalidPicture) for data it cannot decode.
    virtual Bitmap decodeFrame(int k) const = 0;
};
using FrameSourcePtr = std::shared_ptr<const FrameSource>;

}  // namespace mv
