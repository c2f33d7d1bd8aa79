#include "platform/posix/heap.h"

#include <cstdlib>  // defines __GLIBC__ where the C library is glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace mv::posix {

void keepFrameBuffersInHeap() {
#if defined(__GLIBC__)
    // Frame files, decoded frames and composed canvases stay below these; the window's
    // backing pictures, the largest buffers, live in memory of their own.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
}

}  // namespace mv::posix
