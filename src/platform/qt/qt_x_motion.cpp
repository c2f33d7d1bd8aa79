#include "platform/qt/qt_x_motion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/qt/qt_x_pixels.h"

namespace mv::qt {

namespace {

xcb_render_fixed_t fixed(double v) { return static_cast<xcb_render_fixed_t>(std::lround(v * 65536.0)); }

// The window pixels whose centres fall inside [lo, lo + length): as the core's own drawing
// counts them, so that both routes cover the same pixels.
void coveredSpan(double lo, double length, int size, int& from, int& to) {
    from = static_cast<int>(std::clamp(std::ceil(lo - 0.5), 0.0, static_cast<double>(size)));
    to = static_cast<int>(std::clamp(std::ceil(lo + length - 0.5), static_cast<double>(from), static_cast<double>(size)));
}

xcb_render_pictformat_t formatOfVisual(xcb_connection_t* c, xcb_visualid_t visual) {
    xcb_render_query_pict_formats_reply_t* reply = xcb_render_query_pict_formats_reply(c, xcb_render_query_pict_formats(c), nullptr);
    if (!reply) return 0;
    xcb_render_pictformat_t found = 0;
    for (auto s = xcb_render_query_pict_formats_screens_iterator(reply); s.rem && !found; xcb_render_pictscreen_next(&s))
        for (auto d = xcb_render_pictscreen_depths_iterator(s.data); d.rem && !found; xcb_render_pictdepth_next(&d))
            for (auto v = xcb_render_pictdepth_visuals_iterator(d.data); v.rem; xcb_render_pictvisual_next(&v))
                if (v.data->visual == visual) {
                    found = v.data->format;
                    break;
                }
    std::free(reply);
    return found;
}

}  // namespace

XMotion::XMotion(xcb_connection_t* c, xcb_window_t window, xcb_visualid_t visual, uint8_t depth)
    : c_(c), window_(window), depth_(depth) {
    if (!c_) return;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c_, &xcb_render_id);
    if (!ext || !ext->present) return;
    xcb_render_query_version_reply_t* version =
        xcb_render_query_version_reply(c_, xcb_render_query_version(c_, 0, 11), nullptr);
    if (!version) return;
    // Transforms and filters came with 0.6.
    const bool recent = version->major_version > 0 || version->minor_version >= 6;
    std::free(version);
    if (!recent) return;
    // Only a window that takes our pixels as they lie in memory: the picture goes up unchanged.
    std::string why;
    const std::optional<XPixelFormat> pixels = pixelFormatOf(xcb_get_setup(c_), visual, depth, why);
    if (!pixels || !pixels->plain()) return;
    const xcb_render_pictformat_t format = formatOfVisual(c_, visual);
    if (!format) return;
    target_ = xcb_generate_id(c_);
    xcb_render_create_picture(c_, target_, window_, format, 0, nullptr);
    gc_ = xcb_generate_id(c_);
    xcb_create_gc(c_, gc_, window_, 0, nullptr);
    format_ = format;
}

XMotion::~XMotion() {
    if (!format_) return;
    release(picture_);
    release(under_);
    if (target_) xcb_render_free_picture(c_, target_);
    xcb_free_gc(c_, gc_);
    xcb_flush(c_);
}

void XMotion::release(Uploaded& u) {
    if (u.picture) xcb_render_free_picture(c_, u.picture);
    if (u.pixmap) xcb_free_pixmap(c_, u.pixmap);
    u = {};
}

bool XMotion::upload(const std::shared_ptr<const Bitmap>& bitmap, Uploaded& into, bool smooth) {
    if (into.of == bitmap) return true;
    release(into);
    if (!bitmap || bitmap->empty() || bitmap->width > 32767 || bitmap->height > 32767) return false;
    into.pixmap = xcb_generate_id(c_);
    xcb_create_pixmap(c_, depth_, into.pixmap, window_, static_cast<uint16_t>(bitmap->width), static_cast<uint16_t>(bitmap->height));
    // In bands of rows that fit a request.
    const size_t rowBytes = static_cast<size_t>(bitmap->width) * 4;
    const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(c_)) * 4 - 64;
    const int band = static_cast<int>(std::max<size_t>(1, maxBytes / rowBytes));
    for (int y = 0; y < bitmap->height; y += band) {
        const int rows = std::min(band, bitmap->height - y);
        xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, into.pixmap, gc_, static_cast<uint16_t>(bitmap->width),
                      static_cast<uint16_t>(rows), 0, static_cast<int16_t>(y), 0, depth_,
                      static_cast<uint32_t>(rowBytes * static_cast<size_t>(rows)),
                      reinterpret_cast<const uint8_t*>(bitmap->row(y)));
    }
    into.picture = xcb_generate_id(c_);
    // Sampled past its edges, the picture repeats its edge pixels, as the own drawing clamps.
    const uint32_t repeat = XCB_RENDER_REPEAT_PAD;
    xcb_render_create_picture(c_, into.picture, into.pixmap, format_, XCB_RENDER_CP_REPEAT, &repeat);
    if (smooth) {
        static const char kBilinear[] = "bilinear";
        xcb_render_set_picture_filter(c_, into.picture, static_cast<uint16_t>(std::strlen(kBilinear)), kBilinear, 0, nullptr);
    }
    into.of = bitmap;
    return true;
}

// At most one frame on its way: the server is never handed frames faster than it shows them.
void XMotion::pace() {
    if (waiting_) std::free(xcb_get_input_focus_reply(c_, sent_, nullptr));
    sent_ = xcb_get_input_focus(c_);
    waiting_ = true;
    xcb_flush(c_);
}

bool XMotion::show(const MovingScene& scene, int w, int h) {
    if (!format_ || w <= 0 || h <= 0 || scene.at.w <= 0 || scene.at.h <= 0) return false;
    if (!upload(scene.picture, picture_, true)) return false;
    const bool under = scene.under && scene.under->width == w && scene.under->height == h;
    if (under ? !upload(scene.under, under_, false) : (release(under_), false)) return false;

    int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
    coveredSpan(scene.at.x, scene.at.w, w, x0, x1);
    coveredSpan(scene.at.y, scene.at.h, h, y0, y1);
    // From a window pixel's centre to the point of the picture it shows.
    const double sx = scene.picture->width / scene.at.w, sy = scene.picture->height / scene.at.h;
    const xcb_render_transform_t transform{fixed(sx), 0, fixed(-scene.at.x * sx), 0, fixed(sy), fixed(-scene.at.y * sy),
                                           0, 0, fixed(1.0)};
    xcb_render_set_picture_transform(c_, picture_.picture, transform);
    if (x1 > x0 && y1 > y0)
        xcb_render_composite(c_, XCB_RENDER_PICT_OP_SRC, picture_.picture, XCB_NONE, target_, static_cast<int16_t>(x0),
                             static_cast<int16_t>(y0), 0, 0, static_cast<int16_t>(x0), static_cast<int16_t>(y0),
                             static_cast<uint16_t>(x1 - x0), static_cast<uint16_t>(y1 - y0));
    // The rest of the window, around the picture.
    std::vector<xcb_rectangle_t> rest;
    auto add = [&](int x, int y, int rw, int rh) {
        if (rw > 0 && rh > 0)
            rest.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<uint16_t>(rw), static_cast<uint16_t>(rh)});
    };
    if (x1 > x0 && y1 > y0) {
        add(0, 0, w, y0);
        add(0, y1, w, h - y1);
        add(0, y0, x0, y1 - y0);
        add(x1, y0, w - x1, y1 - y0);
    } else {
        add(0, 0, w, h);
    }
    if (under) {
        for (const xcb_rectangle_t& r : rest)
            xcb_render_composite(c_, XCB_RENDER_PICT_OP_SRC, under_.picture, XCB_NONE, target_, r.x, r.y, 0, 0, r.x, r.y,
                                 r.width, r.height);
    } else if (!rest.empty()) {
        const uint32_t f = scene.fill;
        auto wide = [](uint32_t v) { return static_cast<uint16_t>(v * 257); };
        const xcb_render_color_t color{wide((f >> 16) & 0xFF), wide((f >> 8) & 0xFF), wide(f & 0xFF), 0xFFFF};
        xcb_render_fill_rectangles(c_, XCB_RENDER_PICT_OP_SRC, target_, color, static_cast<uint32_t>(rest.size()), rest.data());
    }
    last_ = scene;
    pace();
    return true;
}

}  // namespace mv::qt
