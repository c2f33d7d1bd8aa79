#pragma once

namespace mv::posix {

// Keeps freed buffers of up to a few megabytes in the heap for the next frame, instead of
// handing them back to the system and faulting fresh pages in for every frame of a split or
// an animation (glibc's own threshold only rises once a large buffer has been freed). All
// threads share one heap, so a limit on address space is left for pictures.
void keepFrameBuffersInHeap();

}  // namespace mv::posix
