#include "platform/qt/qt_layer_surface.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "platform/qt/qt_wayland_display.h"
#include "platform/qt/qt_wayland_shm.h"
#include "platform/qt/qt_wayland_viewport.h"
#include "wlr-layer-shell-unstable-v1-client-protocol.h"

namespace mv::qt {

namespace {

void onConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial, uint32_t width, uint32_t height) {
    static_cast<LayerSurface*>(data)->configure(serial, width, height);
}
void onClosed(void* data, zwlr_layer_surface_v1*) { static_cast<LayerSurface*>(data)->close(); }
const zwlr_layer_surface_v1_listener layerListener = {onConfigure, onClosed};

void onRelease(void* data, wl_buffer* buffer) { static_cast<LayerSurface*>(data)->release(buffer); }
const wl_buffer_listener bufferListener = {onRelease};

}  // namespace

LayerSurface::LayerSurface(WaylandDisplay& display, WaylandOutput& output, bool overlay, Events events)
    : display_(display), output_(output), events_(std::move(events)), scale_(output.scale) {
    surface_ = wl_compositor_create_surface(display.compositor());
    layer_ = zwlr_layer_shell_v1_get_layer_surface(display.layerShell(), surface_, output.output,
                                                   overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND,
                                                   "marvoscope");
    zwlr_layer_surface_v1_add_listener(layer_, &layerListener, this);
    zwlr_layer_surface_v1_set_anchor(layer_, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                 ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_exclusive_zone(layer_, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(
        layer_, overlay ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    if (!overlay) {
        // A background takes no input: the pointer and clicks go past it to the desktop.
        wl_region* none = wl_compositor_create_region(display.compositor());
        wl_surface_set_input_region(surface_, none);
        wl_region_destroy(none);
    }
    if (wl_surface_get_version(surface_) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) wl_surface_set_buffer_scale(surface_, scale_);
    if (display.viewporter() && display.subcompositor())
        moving_ = std::make_unique<ViewportPicture>(display, surface_, [this] { commitUnderMoving(); });
    // The first commit carries no buffer; the compositor answers with the size.
    wl_surface_commit(surface_);
}

LayerSurface::~LayerSurface() {
    moving_.reset();
    for (Buffer& b : buffers_) drop(b);
    if (layer_) zwlr_layer_surface_v1_destroy(layer_);
    wl_surface_destroy(surface_);
}

bool LayerSurface::rescale() {
    const int scale = std::max(1, output_.scale);
    if (scale == scale_) return false;
    scale_ = scale;
    if (wl_surface_get_version(surface_) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) wl_surface_set_buffer_scale(surface_, scale_);
    return true;
}

void LayerSurface::configure(uint32_t serial, uint32_t width, uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(layer_, serial);
    const bool changed = static_cast<int>(width) != width_ || static_cast<int>(height) != height_;
    width_ = static_cast<int>(std::min<uint32_t>(width, 16384));
    height_ = static_cast<int>(std::min<uint32_t>(height, 16384));
    if (changed && events_.sized) events_.sized();
}

void LayerSurface::close() {
    zwlr_layer_surface_v1_destroy(layer_);
    layer_ = nullptr;
    width_ = height_ = 0;
    if (events_.closed) events_.closed();
}

void LayerSurface::release(wl_buffer* buffer) {
    for (Buffer& b : buffers_)
        if (b.buffer == buffer) b.held = false;
    if (waiting_) {
        waiting_ = false;
        if (events_.released) events_.released();
    }
}

bool LayerSurface::make(Buffer& b, int width, int height) {
    drop(b);
    const ShmBuffer made = makeShmBuffer(display_.shm(), width, height, "marvoscope-layer");
    if (!made.buffer) return false;
    wl_buffer_add_listener(made.buffer, &bufferListener, this);
    static_cast<ShmBuffer&>(b) = made;
    b.width = width;
    b.height = height;
    b.held = false;
    return true;
}

void LayerSurface::drop(Buffer& b) {
    dropShmBuffer(b);
    b = Buffer{};
}

bool LayerSurface::show(const Bitmap& picture, uint32_t back) {
    if (moving_) moving_->leave();
    around_ = aroundWanted_ = false;
    nextUnder_.reset();
    return put(picture, back, true) != Put::Held;
}

LayerSurface::Put LayerSurface::put(const Bitmap& picture, uint32_t back, bool retry) {
    if (!layer_ || !sized()) return Put::Skipped;
    const int w = width(), h = height();
    Buffer* free = nullptr;
    for (Buffer& b : buffers_)
        if (!b.held && (!free || (b.width == w && b.height == h))) free = &b;
    if (!free) {
        if (retry) waiting_ = true;
        return Put::Held;
    }
    if ((free->width != w || free->height != h) && !make(*free, w, h)) return Put::Skipped;
    // The one copy of a frame: the picture's rows are the buffer's format as they are.
    const int cw = std::min(picture.width, w), ch = std::min(picture.height, h);
    if (cw == w && picture.width == w && ch == h) {
        std::memcpy(free->pixels, picture.pixels.data(), free->bytes);
    } else {
        for (int y = 0; y < h; ++y) {
            uint32_t* row = free->pixels + static_cast<size_t>(y) * w;
            if (y < ch) {
                if (cw > 0) std::memcpy(row, picture.row(y), static_cast<size_t>(cw) * 4);
                std::fill(row + std::max(cw, 0), row + w, back);
            } else {
                std::fill(row, row + w, back);
            }
        }
    }
    free->held = true;
    wl_surface_attach(surface_, free->buffer, 0, 0);
    wl_surface_damage(surface_, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface_);
    return Put::Committed;
}

bool LayerSurface::showMoving(const MovingScene& scene) {
    if (!moving_ || !scene.picture) return false;
    if (!layer_ || !sized()) return true;
    const Bitmap& p = *scene.picture;
    // The picture's buffer is never much more than the surface's own.
    if (static_cast<double>(p.width) * p.height > 4.0 * width() * height()) return false;
    const auto place = viewportPlace(scene.at, p.width, p.height, width(), height(), scale_);
    if (!place) return false;
    if (!place->covers) {
        const bool same = around_ && aroundFill_ == scene.fill && !aroundUnder_.owner_before(scene.under) &&
                          !scene.under.owner_before(aroundUnder_);
        if (!same) {
            aroundWanted_ = true;
            nextUnder_ = scene.under;
            nextFill_ = scene.fill;
        }
    }
    return moving_->show(scene.picture, *place);
}

void LayerSurface::commitUnderMoving() {
    if (aroundWanted_) {
        aroundWanted_ = false;
        const Bitmap none;
        if (put(nextUnder_ ? *nextUnder_ : none, nextFill_, false) == Put::Committed) {
            around_ = true;
            aroundUnder_ = nextUnder_;
            aroundFill_ = nextFill_;
            nextUnder_.reset();
            return;
        }
        nextUnder_.reset();
    }
    wl_surface_commit(surface_);
}

}  // namespace mv::qt
