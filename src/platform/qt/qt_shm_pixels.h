#pragma once
// Pixels the X server reads straight from our memory (MIT-SHM): a window's backing picture is
// painted once and shown without a copy into a toolkit buffer.
#include <xcb/xcb.h>

#include <cstdint>
#include <memory_resource>

namespace mv::qt {

class ShmPixels final : public std::pmr::memory_resource {
public:
    // Shared memory is used when the display is an X display that can attach it (not over a
    // network, not another window system); otherwise every allocation is ordinary memory.
    bool usable();
    xcb_connection_t* connection() const { return c_; }
    // The attached segment holding `p` and the offset of `p` in it; false for ordinary memory.
    bool segmentOf(const void* p, uint32_t& segment, uint32_t& offset) const;

private:
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* p, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

    xcb_connection_t* c_ = nullptr;
    int state_ = 0;  // 0 not checked yet, 1 usable, -1 not
};

// The one instance; it lives as long as the process, as the pixels it hands out may.
ShmPixels& shmPixels();

// Shows the `w` x `h` pixels at `p` (rows of `stride` pixels, 0xAARRGGBB) at (x, y) of
// `drawable` and waits until the server has read them, so they may be painted over at once.
// False when `p` is not shared memory or the drawable does not take such pixels.
bool putShmPixels(xcb_drawable_t drawable, xcb_gcontext_t gc, const uint32_t* p, int stride, int w, int h, int x, int y);

}  // namespace mv::qt
