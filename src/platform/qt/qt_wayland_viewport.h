#pragma once
// A moving picture on a surface with the compositor doing the scaling: the picture's own pixels
// in one shared-memory buffer, made once per picture, and each frame only a new crop of it
// (wp_viewporter) scaled to the surface. Frames go no faster than the compositor shows them.
#include <cstddef>
#include <memory>

#include "platform/picture/bitmap.h"
#include "platform/qt/qt_viewport_crop.h"

struct wl_buffer;
struct wl_callback;
struct wl_shm;
struct wl_surface;
struct wp_viewport;
struct wp_viewporter;

namespace mv::qt {

class ViewportPicture {
public:
    ViewportPicture(wl_surface* surface, wp_viewporter* viewporter, wl_shm* shm);
    ~ViewportPicture();
    ViewportPicture(const ViewportPicture&) = delete;
    ViewportPicture& operator=(const ViewportPicture&) = delete;

    // Shows `crop` of `picture` over the whole surface (`width` x `height` in the surface's
    // own, logical units). While the last frame is not on screen yet, this one waits and a later
    // one replaces it. False when the picture's buffer cannot be made.
    bool show(const std::shared_ptr<const Bitmap>& picture, const ViewportCrop& crop, int width, int height);
    // The surface's own buffer comes back in the caller's next commit: the crop and scaling go
    // with it, at the surface's `scale` again, and a waiting frame is dropped. The picture's
    // buffer stays for as long as the picture does.
    void leave(int scale);
    // A frame that waits is dropped (the surface's own buffer is about to come back).
    void drop() { waiting_ = false; }
    // The surface shows the picture (its buffer scale is the picture's, 1).
    bool shown() const { return attached_; }

    // Wayland callback; not for other callers.
    void frameDone();

private:
    bool upload(const Bitmap& picture);
    void freeBuffer();
    void commit();

    wl_surface* surface_;
    wp_viewporter* viewporter_;
    wl_shm* shm_;
    wp_viewport* viewport_ = nullptr;
    wl_callback* frame_ = nullptr;  // the compositor has not shown the last frame yet
    // The picture's pixels, known by the picture object (which may go at any time).
    std::weak_ptr<const Bitmap> picture_;
    wl_buffer* buffer_ = nullptr;
    void* pixels_ = nullptr;
    size_t bytes_ = 0;
    bool attached_ = false;  // the surface shows the picture's buffer
    bool fresh_ = false;     // a buffer not attached yet
    bool waiting_ = false;   // a frame to commit when the compositor is ready
    ViewportCrop crop_;
    int width_ = 0, height_ = 0;
};

}  // namespace mv::qt
