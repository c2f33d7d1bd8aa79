#pragma once
// One output's layer-shell surface: it covers the output, takes the size the compositor gives it,
// and shows a picture from one of its two shared-memory buffers (the compositor may hold on to
// the one shown last until the next is committed).
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/picture/bitmap.h"
#include "platform/picture/motion/moving_scene.h"
#include "platform/qt/qt_wayland_shm.h"

struct wl_buffer;
struct wl_surface;
struct zwlr_layer_surface_v1;

namespace mv::qt {

class ViewportPicture;
class WaylandDisplay;
struct WaylandOutput;

class LayerSurface {
public:
    struct Events {
        std::function<void()> sized;     // the first size, or a new one
        std::function<void()> closed;    // the compositor will not show it any more
        std::function<void()> released;  // a buffer is free again after both were held
    };
    LayerSurface(WaylandDisplay& display, WaylandOutput& output, bool overlay, Events events);
    ~LayerSurface();
    LayerSurface(const LayerSurface&) = delete;
    LayerSurface& operator=(const LayerSurface&) = delete;

    const WaylandOutput& output() const { return output_; }
    wl_surface* surface() const { return surface_; }
    bool sized() const { return width_ > 0 && height_ > 0; }
    int scale() const { return scale_; }
    // Device pixels.
    int width() const { return width_ * scale_; }
    int height() const { return height_ * scale_; }
    // The output's scale changed: the surface is that much larger in device pixels.
    bool rescale();

    // Copies the picture into a free buffer and commits it; what the picture does not reach is
    // `back`. False when both buffers are still held: `released` says when to try again.
    bool show(const Bitmap& picture, uint32_t back);
    // Shows a frame of a moving picture with the compositor scaling it, until the next show();
    // false where it cannot (no viewports or child surfaces, or an unlikely placement).
    bool showMoving(const MovingScene& scene);

    // Wayland callbacks; not for other callers.
    void configure(uint32_t serial, uint32_t width, uint32_t height);
    void close();
    void release(wl_buffer* buffer);

private:
    struct Buffer : ShmBuffer {
        int width = 0, height = 0;
        bool held = false;
    };
    bool make(Buffer& b, int width, int height);
    // show() without leaving a moving picture; `retry`: a `released` event when both buffers
    // are held.
    enum class Put { Committed, Held, Skipped };
    Put put(const Bitmap& picture, uint32_t back, bool retry);
    // The moving picture's frame goes to the screen with the surface's commit.
    void commitUnderMoving();
    static void drop(Buffer& b);

    WaylandDisplay& display_;
    WaylandOutput& output_;
    Events events_;
    wl_surface* surface_ = nullptr;
    zwlr_layer_surface_v1* layer_ = nullptr;
    int width_ = 0, height_ = 0;  // logical, as configured
    int scale_ = 1;
    Buffer buffers_[2];
    bool waiting_ = false;  // a show found both buffers held
    std::unique_ptr<ViewportPicture> moving_;  // where the compositor offers viewports
    // What the surface's own buffer shows around a moving picture: the scene's, or anything
    // while the picture covers it all.
    bool around_ = false;
    std::weak_ptr<const Bitmap> aroundUnder_;
    uint32_t aroundFill_ = 0;
    std::shared_ptr<const Bitmap> nextUnder_;  // for the next commit, when it is to change
    uint32_t nextFill_ = 0;
    bool aroundWanted_ = false;
};

}  // namespace mv::qt
