#pragma once
// A moving picture scaled by the X server: the picture goes to a pixmap once, then each frame
// is one RENDER composite through a new bilinear transform, and the rest of the window is
// filled from its under picture or colour. No pixel of the frame is made in this process.
#include <xcb/render.h>
#include <xcb/xcb.h>

#include <memory>

#include "platform/picture/motion/moving_scene.h"

namespace mv::qt {

class XMotion {
public:
    // For `window` (of `visual`, `depth`); unusable without RENDER 0.6 (transforms and
    // filters) or for a visual whose pixels are not ours as they are.
    XMotion(xcb_connection_t* c, xcb_window_t window, xcb_visualid_t visual, uint8_t depth);
    ~XMotion();
    XMotion(const XMotion&) = delete;
    XMotion& operator=(const XMotion&) = delete;

    bool usable() const { return format_ != 0; }
    // Shows `scene` on the window's w x h pixels; false when it cannot (then nothing was sent).
    bool show(const MovingScene& scene, int w, int h);
    // The last scene shown again (an expose).
    bool showAgain(int w, int h) { return last_.picture && show(last_, w, h); }
    // Forgets the scene: the window shows the backing picture again.
    void reset() { last_ = {}; }
    // The window was destroyed, and with it what this drew there.
    void windowGone() { target_ = 0; }

private:
    struct Uploaded {
        std::shared_ptr<const Bitmap> of;
        xcb_pixmap_t pixmap = 0;
        xcb_render_picture_t picture = 0;
    };
    // `smooth`: sampled bilinearly wherever a transform puts it.
    bool upload(const std::shared_ptr<const Bitmap>& bitmap, Uploaded& into, bool smooth);
    void release(Uploaded& u);
    void pace();

    xcb_connection_t* c_;
    xcb_window_t window_;
    uint8_t depth_;
    xcb_render_pictformat_t format_ = 0;
    xcb_render_picture_t target_ = 0;
    xcb_gcontext_t gc_ = 0;
    Uploaded picture_, under_;
    MovingScene last_;
    bool waiting_ = false;
    xcb_get_input_focus_cookie_t sent_{};
};

}  // namespace mv::qt
