#pragma once
// A buffer of 32-bit pixels (XRGB, our own layout) in memory the compositor maps too.
#include <wayland-client.h>

#include <cstddef>
#include <cstdint>

namespace mv::qt {

struct ShmBuffer {
    wl_buffer* buffer = nullptr;
    uint32_t* pixels = nullptr;
    size_t bytes = 0;
};

// A width x height buffer; no buffer (all null) when the memory cannot be had.
ShmBuffer makeShmBuffer(wl_shm* shm, int width, int height, const char* name);
// Destroys the buffer and unmaps its pixels; the buffer is empty afterwards.
void dropShmBuffer(ShmBuffer& b);

}  // namespace mv::qt
