#pragma once
// A moving picture over a surface with the compositor doing the scaling: a child surface shows
// the picture's own pixels from one shared-memory buffer, made once per picture, and each frame
// only moves it and changes its crop and size (wp_viewporter). Frames go no faster than the
// compositor shows them.
#include <cstddef>
#include <functional>
#include <memory>

#include "platform/picture/bitmap.h"
#include "platform/qt/qt_viewport_place.h"
#include "platform/qt/qt_wayland_shm.h"

struct wl_buffer;
struct wl_callback;
struct wl_subsurface;
struct wl_surface;
struct wp_viewport;

namespace mv::qt {

class WaylandDisplay;

class ViewportPicture {
public:
    // `commitParent` commits `parent` (with whatever it is to show around the picture): the
    // child's state goes to the screen with it, so that the two never disagree for a frame.
    ViewportPicture(WaylandDisplay& display, wl_surface* parent, std::function<void()> commitParent);
    ~ViewportPicture();
    ViewportPicture(const ViewportPicture&) = delete;
    ViewportPicture& operator=(const ViewportPicture&) = delete;

    // Shows `picture` at `place`. While the last frame is not on screen yet, this one waits and
    // a later one replaces it. False when the picture's buffer cannot be made.
    bool show(const std::shared_ptr<const Bitmap>& picture, const ViewportPlace& place);
    // Hides the picture with the parent's next commit (the parent's own picture comes back) and
    // drops a waiting frame. The picture's buffer stays for as long as the picture does.
    void leave();

    // Wayland callback; not for other callers.
    void frameDone();

private:
    bool upload(const Bitmap& picture);
    void freeBuffer();
    void commit();

    WaylandDisplay& display_;
    wl_surface* parent_;
    std::function<void()> commitParent_;
    wl_surface* child_ = nullptr;
    wl_subsurface* sub_ = nullptr;
    wp_viewport* viewport_ = nullptr;
    wl_callback* frame_ = nullptr;  // the compositor has not shown the last frame yet
    // The picture's pixels, known by the picture object (which may go at any time).
    std::weak_ptr<const Bitmap> picture_;
    ShmBuffer buffer_;
    bool mapped_ = false;   // the child shows the picture's buffer
    bool fresh_ = false;    // a buffer the child has not been given yet
    bool waiting_ = false;  // a frame to commit when the compositor is ready
    ViewportPlace place_;
};

}  // namespace mv::qt
