#include "platform/qt/qt_wayland_viewport.h"

#include <wayland-client.h>

#include <cstring>

#include "platform/qt/qt_wayland_display.h"
#include "viewporter-client-protocol.h"

namespace mv::qt {

namespace {

void onFrame(void* data, wl_callback*, uint32_t) { static_cast<ViewportPicture*>(data)->frameDone(); }
const wl_callback_listener frameListener = {onFrame};

}  // namespace

ViewportPicture::ViewportPicture(WaylandDisplay& display, wl_surface* parent, std::function<void()> commitParent)
    : display_(display), parent_(parent), commitParent_(std::move(commitParent)) {
    child_ = wl_compositor_create_surface(display.compositor());
    // Synchronised (the default): its state waits for the parent's commit.
    sub_ = wl_subcompositor_get_subsurface(display.subcompositor(), child_, parent);
    // Input goes to the parent, as if the picture were its own.
    wl_region* none = wl_compositor_create_region(display.compositor());
    wl_surface_set_input_region(child_, none);
    wl_region_destroy(none);
    viewport_ = wp_viewporter_get_viewport(display.viewporter(), child_);
}

ViewportPicture::~ViewportPicture() {
    if (frame_) wl_callback_destroy(frame_);
    wp_viewport_destroy(viewport_);
    wl_subsurface_destroy(sub_);
    wl_surface_destroy(child_);
    freeBuffer();
}

bool ViewportPicture::show(const std::shared_ptr<const Bitmap>& picture, const ViewportPlace& place) {
    if (!picture) return false;
    if (picture_.expired() || picture_.lock() != picture) {
        if (!upload(*picture)) return false;
        picture_ = picture;
    }
    place_ = place;
    waiting_ = true;
    if (!frame_) commit();
    return true;
}

void ViewportPicture::leave() {
    waiting_ = false;
    if (mapped_) {
        mapped_ = false;
        wl_surface_attach(child_, nullptr, 0, 0);
        wl_surface_commit(child_);
    }
    // The next picture is another (or this one comes back soon): these pixels need not wait.
    if (picture_.expired()) freeBuffer();
}

void ViewportPicture::frameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    if (waiting_) commit();
}

void ViewportPicture::commit() {
    waiting_ = false;
    if (!mapped_ || fresh_) {
        wl_surface_attach(child_, buffer_.buffer, 0, 0);
        mapped_ = true;
        fresh_ = false;
    }
    wl_subsurface_set_position(sub_, place_.x, place_.y);
    wp_viewport_set_source(viewport_, place_.cropX, place_.cropY, place_.cropWidth, place_.cropHeight);
    wp_viewport_set_destination(viewport_, place_.width, place_.height);
    // Every pixel of the picture moves.
    wl_surface_damage(child_, 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(child_);
    frame_ = wl_surface_frame(parent_);
    wl_callback_add_listener(frame_, &frameListener, this);
    commitParent_();
}

bool ViewportPicture::upload(const Bitmap& picture) {
    // The old pixels go now: the compositor keeps what it shows until the next commit, and
    // nothing writes to them again.
    freeBuffer();
    if (picture.empty() || picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) return false;
    buffer_ = makeShmBuffer(display_.shm(), picture.width, picture.height, "marvoscope-moving");
    if (!buffer_.buffer) return false;
    std::memcpy(buffer_.pixels, picture.pixels.data(), buffer_.bytes);
    fresh_ = true;
    return true;
}

void ViewportPicture::freeBuffer() {
    dropShmBuffer(buffer_);
    picture_.reset();
}

}  // namespace mv::qt
