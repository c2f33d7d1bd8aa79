#include "platform/qt/qt_shm_pixels.h"

#include <QGuiApplication>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/qt/qt_x_screen.h"

namespace mv::qt {

namespace {

// Smaller pixel buffers are not worth a segment of their own.
constexpr size_t kMinShared = 256 * 1024;

struct Segment {
    char* base;
    size_t bytes;
    uint32_t id;  // the X server's name for it
};

std::mutex& segmentsLock() {
    static auto* m = new std::mutex;
    return *m;
}
std::vector<Segment>& segments() {
    static auto* list = new std::vector<Segment>;
    return *list;
}

// The server draws our pixels as they lie in memory only for a 24- or 32-bit TrueColor
// visual with 32 bits per pixel, red in the third byte, in our byte order.
bool takesOurPixels(xcb_connection_t* c) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) return false;
    const xcb_screen_t* screen = defaultScreen(c);
    bool bpp32 = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f))
        if (f.data->depth == screen->root_depth) bpp32 = f.data->bits_per_pixel == 32;
    if (!bpp32 || (screen->root_depth != 24 && screen->root_depth != 32)) return false;
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d))
        for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
            if (v.data->visual_id == screen->root_visual)
                return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == 0xFF0000 &&
                       v.data->green_mask == 0xFF00 && v.data->blue_mask == 0xFF;
    return false;
}

}  // namespace

bool ShmPixels::usable() {
    if (state_ != 0) return state_ > 0;
    state_ = -1;
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return false;
    xcb_connection_t* c = x11->connection();
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_shm_id);
    if (!ext || !ext->present || !takesOurPixels(c)) return false;
    c_ = c;
    // A server that cannot map our memory (another machine's) says so when the first segment
    // is attached; try one small one now rather than fail on the first frame.
    void* probe = do_allocate(kMinShared, alignof(uint32_t));
    uint32_t id = 0, offset = 0;
    const bool shared = segmentOf(probe, id, offset);
    do_deallocate(probe, kMinShared, alignof(uint32_t));
    if (!shared) {
        c_ = nullptr;
        return false;
    }
    state_ = 1;
    return true;
}

void* ShmPixels::do_allocate(size_t bytes, size_t alignment) {
    if (c_ && bytes >= kMinShared) {
        const int shm = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (shm >= 0) {
            void* base = shmat(shm, nullptr, 0);
            bool attached = false;
            uint32_t id = 0;
            if (base != reinterpret_cast<void*>(-1)) {
                id = xcb_generate_id(c_);
                xcb_generic_error_t* error = xcb_request_check(c_, xcb_shm_attach_checked(c_, id, static_cast<uint32_t>(shm), 1));
                attached = !error;
                std::free(error);
            }
            // Marked for removal at once: the memory goes when both sides let go, even after a crash.
            shmctl(shm, IPC_RMID, nullptr);
            if (attached) {
                std::lock_guard hold(segmentsLock());
                segments().push_back({static_cast<char*>(base), bytes, id});
                return base;
            }
            if (base != reinterpret_cast<void*>(-1)) shmdt(base);
        }
    }
    return std::pmr::new_delete_resource()->allocate(bytes, alignment);
}

void ShmPixels::do_deallocate(void* p, size_t bytes, size_t alignment) {
    {
        std::lock_guard hold(segmentsLock());
        auto& list = segments();
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->base != p) continue;
            // Once the application is gone its connection is too; the server lets go by itself then.
            if (qGuiApp && c_) xcb_shm_detach(c_, it->id);
            shmdt(p);
            list.erase(it);
            return;
        }
    }
    std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
}

bool ShmPixels::segmentOf(const void* p, uint32_t& segment, uint32_t& offset) const {
    const char* at = static_cast<const char*>(p);
    std::lock_guard hold(segmentsLock());
    for (const Segment& s : segments())
        if (at >= s.base && at < s.base + s.bytes) {
            segment = s.id;
            offset = static_cast<uint32_t>(at - s.base);
            return true;
        }
    return false;
}

ShmPixels& shmPixels() {
    static auto* pixels = new ShmPixels;
    return *pixels;
}

bool putShmPixels(xcb_drawable_t drawable, xcb_gcontext_t gc, const uint32_t* p, int stride, int w, int h, int x, int y) {
    ShmPixels& shm = shmPixels();
    uint32_t segment = 0, offset = 0;
    if (!shm.usable() || w <= 0 || h <= 0 || stride < w || !shm.segmentOf(p, segment, offset)) return false;
    // The request's sizes are 16-bit.
    constexpr int kMaxSide = 32767;
    if (stride > kMaxSide || h > kMaxSide) return false;
    xcb_connection_t* c = shm.connection();
    const uint8_t depth = defaultScreen(c)->root_depth;
    xcb_shm_put_image(c, drawable, gc, static_cast<uint16_t>(stride), static_cast<uint16_t>(h), 0, 0,
                      static_cast<uint16_t>(w), static_cast<uint16_t>(h), static_cast<int16_t>(x), static_cast<int16_t>(y),
                      depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment, offset);
    // A round trip: the server has drawn the pixels before the next paint changes them.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
}

}  // namespace mv::qt
