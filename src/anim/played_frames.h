#pragma once
// An APNG's or animated WebP's frames put into the frame store, to play as a GIF's do.
#include "platform/picture/frames/composed_frames.h"
#include "platform/ui/controls/control_array.h"
#include "platform/ui/controls/picturebox.h"

namespace mv::anim {

// How long a frame of `fileMs` plays: 10 ms or less as 100 ms, as a GIF's 0 and 1 hundredth do,
// so that such a frame neither freezes the show nor spins it.
long PlayedDelayMs(long fileMs);

// Fills `frames` (element 0 on, the rest loaded) with the pictures and their played delays in
// the Tags.
void StoreFrames(const ComposedFrames& composed, ControlArray<PictureBox>& frames);

}  // namespace mv::anim
