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
    // Each thread's own arena reserves 64 MB of address space: under a limit such as
    // `ulimit -v` that is the room for a large frame. The threads share one heap instead.
    mallopt(M_ARENA_MAX, 1);
#endif
}

}  // namespace mv::posix
