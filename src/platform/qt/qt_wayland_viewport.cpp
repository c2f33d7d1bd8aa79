#include "platform/qt/qt_wayland_viewport.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstring>

#include "viewporter-client-protocol.h"

namespace mv::qt {

namespace {

void onFrame(void* data, wl_callback*, uint32_t) { static_cast<ViewportPicture*>(data)->frameDone(); }
const wl_callback_listener frameListener = {onFrame};

}  // namespace

ViewportPicture::ViewportPicture(wl_surface* surface, wp_viewporter* viewporter, wl_shm* shm)
    : surface_(surface), viewporter_(viewporter), shm_(shm) {}

ViewportPicture::~ViewportPicture() {
    if (frame_) wl_callback_destroy(frame_);
    if (viewport_) wp_viewport_destroy(viewport_);
    freeBuffer();
}

bool ViewportPicture::show(const std::shared_ptr<const Bitmap>& picture, const ViewportCrop& crop, int width,
                           int height) {
    if (!picture || width <= 0 || height <= 0) return false;
    if (picture_.expired() || picture_.lock() != picture) {
        if (!upload(*picture)) return false;
        picture_ = picture;
    }
    crop_ = crop;
    width_ = width;
    height_ = height;
    waiting_ = true;
    if (!frame_) commit();
    return true;
}

void ViewportPicture::leave(int scale) {
    waiting_ = false;
    if (!attached_) return;
    attached_ = false;
    wp_viewport_set_source(viewport_, wl_fixed_from_int(-1), wl_fixed_from_int(-1), wl_fixed_from_int(-1),
                           wl_fixed_from_int(-1));
    wp_viewport_set_destination(viewport_, -1, -1);
    if (wl_surface_get_version(surface_) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) wl_surface_set_buffer_scale(surface_, scale);
    // The next picture is not this one (or this one comes back soon): its pixels need not wait.
    if (picture_.expired()) freeBuffer();
}

void ViewportPicture::frameDone() {
    wl_callback_destroy(frame_);
    frame_ = nullptr;
    if (waiting_) commit();
}

void ViewportPicture::commit() {
    waiting_ = false;
    if (!viewport_) viewport_ = wp_viewporter_get_viewport(viewporter_, surface_);
    if (!attached_ || fresh_) {
        // The picture's pixels are taken one to one; the viewport alone scales them.
        if (wl_surface_get_version(surface_) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION) wl_surface_set_buffer_scale(surface_, 1);
        wl_surface_attach(surface_, buffer_, 0, 0);
        attached_ = true;
        fresh_ = false;
    }
    wp_viewport_set_source(viewport_, crop_.x, crop_.y, crop_.width, crop_.height);
    wp_viewport_set_destination(viewport_, width_, height_);
    // Every pixel of the surface moves.
    wl_surface_damage(surface_, 0, 0, INT32_MAX, INT32_MAX);
    frame_ = wl_surface_frame(surface_);
    wl_callback_add_listener(frame_, &frameListener, this);
    wl_surface_commit(surface_);
}

bool ViewportPicture::upload(const Bitmap& picture) {
    // The old pixels go now: the compositor keeps what it shows until the next commit, and
    // nothing writes to them again.
    freeBuffer();
    if (picture.empty() || picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) return false;
    const size_t bytes = picture.pixels.size() * 4;
    if (bytes > static_cast<size_t>(INT32_MAX)) return false;
    const int fd = memfd_create("marvoscope-moving", MFD_CLOEXEC);
    if (fd < 0) return false;
    void* map = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) map = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) {
        ::close(fd);
        return false;
    }
    std::memcpy(map, picture.pixels.data(), bytes);
    wl_shm_pool* pool = wl_shm_create_pool(shm_, fd, static_cast<int32_t>(bytes));
    buffer_ = wl_shm_pool_create_buffer(pool, 0, picture.width, picture.height, picture.width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    ::close(fd);
    pixels_ = map;
    bytes_ = bytes;
    fresh_ = true;
    return true;
}

void ViewportPicture::freeBuffer() {
    if (buffer_) wl_buffer_destroy(buffer_);
    if (pixels_) munmap(pixels_, bytes_);
    buffer_ = nullptr;
    pixels_ = nullptr;
    bytes_ = 0;
    picture_.reset();
}

}  // namespace mv::qt
