#include "platform/qt/qt_hosted_host.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTimer>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/qt/qt_shm_pixels.h"
#include "platform/qt/qt_x_motion.h"
#include "platform/qt/qt_x_pixels.h"
#include "platform/qt/qt_x_screen.h"

namespace mv::qt {

namespace {

std::string windowName(xcb_window_t window) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", static_cast<unsigned long>(window));
    return id;
}

PlatformError noWindow(xcb_window_t window) {
    return PlatformError(ErrFileNotFound, "there is no X window " + windowName(window) + " to draw in");
}

class HostedHost : public WindowHost, public QAbstractNativeEventFilter {
public:
    HostedHost(Form& form, uint64_t window) : form_(form) {
        auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (!x11 || !x11->connection()) throw PlatformError(ErrFileAccess, "Hosted mode needs an X11 display");
        c_ = x11->connection();
        const xcb_setup_t* setup = xcb_get_setup(c_);
        window_ = window ? static_cast<xcb_window_t>(window) : defaultScreen(c_)->root;

        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window_), nullptr);
        if (!attributes) throw noWindow(window_);
        // This client's own mask on the window: Qt may already watch the root window.
        const uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE;
        const xcb_visualid_t visual = attributes->visual;
        std::free(attributes);
        // Checked: once it has been taken, the window's end is sure to be told; a window that
        // went in the meantime is one there never was.
        if (xcb_generic_error_t* error = xcb_request_check(c_, xcb_change_window_attributes_checked(c_, window_, XCB_CW_EVENT_MASK, &mask))) {
            std::free(error);
            throw noWindow(window_);
        }
        // Read after the mask is in place, so that no change of size slips between.
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c_, xcb_get_geometry(c_, window_), nullptr);
        if (!geometry) throw noWindow(window_);
        width_ = geometry->width;
        height_ = geometry->height;
        depth_ = geometry->depth;
        std::free(geometry);
        std::string why;
        format_ = pixelFormatOf(setup, visual, depth_, why);
        if (!format_) throw PlatformError(ErrInvalidProperty, "cannot draw in the X window " + windowName(window_) + ": " + why);
        gc_ = xcb_generate_id(c_);
        xcb_create_gc(c_, gc_, window_, 0, nullptr);
        // Requests are limited in size; a picture goes in bands of rows that fit.
        maxRequestBytes_ = static_cast<size_t>(xcb_get_maximum_request_length(c_)) * 4;
        motion_ = std::make_unique<XMotion>(c_, window_, visual, depth_);
        xcb_flush(c_);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    ~HostedHost() override {
        QCoreApplication::instance()->removeNativeEventFilter(this);
        if (gone_) motion_->windowGone();
        motion_.reset();
        if (!gone_) {
            // The window shows its own background again (the desktop's, on the root window).
            xcb_clear_area(c_, 0, window_, 0, 0, 0, 0);
            xcb_free_gc(c_, gc_);
            xcb_flush(c_);
        }
    }

    void show() override { present(); }
    void sync() override {}
    int clientWidthPx() const override { return width_; }
    int clientHeightPx() const override { return height_; }

    std::pmr::memory_resource* pixelMemory() override { return shmPixels().usable() ? &shmPixels() : nullptr; }

    bool showMoving(size_t surface, const MovingScene& scene) override {
        if (surface != 0 || gone_ || !motion_->usable()) return false;
        moving_ = motion_->show(scene, width_, height_);
        return moving_;
    }

    void present() override {
        moving_ = false;
        motion_->reset();
        paint();
    }

    void paint() {
        if (gone_ || width_ <= 0 || height_ <= 0) return;
        // While a moving picture shows, its last frame again, not the older backing.
        if (moving_ && motion_->showAgain(width_, height_)) return;
        const Bitmap& b = form_.backing(0);
        if (b.empty()) {
            fill(colorToPixel(form_.BackColor()), 0, 0, width_, height_);
        } else {
            put(b);
            // Whatever the picture does not reach (a resize not yet repainted) shows the background.
            if (b.width < width_) fill(colorToPixel(form_.BackColor()), b.width, 0, width_ - b.width, height_);
            if (b.height < height_) fill(colorToPixel(form_.BackColor()), 0, b.height, std::min(b.width, static_cast<int>(width_)), height_ - b.height);
        }
        xcb_flush(c_);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if (event->response_type == 0) {
            const auto* error = reinterpret_cast<const xcb_generic_error_t*>(event);
            if (error->resource_id != window_) return false;
            // The host may destroy its window while a picture is on its way there: the expected
            // end, not something to print, and the end of the show even should no notice come.
            const bool windowGone = error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE;
            if (windowGone) closeForGood();
            return windowGone;
        }
        if (gone_) return false;
        switch (event->response_type & 0x7F) {
            case XCB_EXPOSE:
                if (reinterpret_cast<const xcb_expose_event_t*>(event)->window == window_) later(repaint_);
                break;
            case XCB_CONFIGURE_NOTIFY: {
                const auto* e = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
                if (e->window == window_ && (e->width != width_ || e->height != height_)) {
                    width_ = e->width;
                    height_ = e->height;
                    later(resize_);
                }
                break;
            }
            case XCB_DESTROY_NOTIFY:
                if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window_) closeForGood();
                break;
            default:
                break;
        }
        return false;
    }

private:
    // The window is gone: nothing is drawn any more and the form closes, outside the event
    // filter, as closing destroys this host.
    void closeForGood() {
        if (gone_) return;
        gone_ = true;
        Form* form = &form_;
        QTimer::singleShot(0, &context_, [form] { form->requestClose(); });
    }

    // Coalesces a burst of events into one repaint on the event loop.
    void later(bool& pending) {
        if (pending) return;
        pending = true;
        bool* flag = &pending;
        QTimer::singleShot(0, &context_, [this, flag] {
            *flag = false;
            if (flag == &resize_) {
                form_.surfacesChanged();  // repaints the picture at the new size and presents it
                repaint_ = false;
            } else {
                paint();
            }
        });
    }

    void put(const Bitmap& b) {
        const int w = std::min(b.width, static_cast<int>(width_));
        const int h = std::min(b.height, static_cast<int>(height_));
        if (w <= 0 || h <= 0) return;
        // Straight from shared memory where the window takes our pixels as they are.
        if (format_->plain() && depth_ == defaultScreen(c_)->root_depth &&
            putShmPixels(window_, gc_, b.pixels.data(), b.width, w, h, 0, 0))
            return;
        const size_t rowBytes = format_->rowBytes(w);
        const int band = static_cast<int>(std::max<size_t>(1, (maxRequestBytes_ - 64) / rowBytes));
        std::vector<uint8_t>& data = band_;
        for (int y = 0; y < h; y += band) {
            const int rows = std::min(band, h - y);
            data.resize(rowBytes * rows);
            for (int r = 0; r < rows; ++r) format_->convertRow(b.row(y + r), w, data.data() + rowBytes * r);
            xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<uint16_t>(w), static_cast<uint16_t>(rows),
                          0, static_cast<int16_t>(y), 0, depth_, static_cast<uint32_t>(data.size()), data.data());
        }
    }

    void fill(uint32_t pixel, int x, int y, int w, int h) {
        if (w <= 0 || h <= 0) return;
        const uint32_t value = format_->pixel(pixel);
        xcb_change_gc(c_, gc_, XCB_GC_FOREGROUND, &value);
        const xcb_rectangle_t r{static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<uint16_t>(w),
                                static_cast<uint16_t>(h)};
        xcb_poly_fill_rectangle(c_, window_, gc_, 1, &r);
    }

    Form& form_;
    QObject context_;  // queued work dies with the host
    xcb_connection_t* c_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_gcontext_t gc_ = 0;
    uint16_t width_ = 0, height_ = 0;
    uint8_t depth_ = 24;
    std::optional<XPixelFormat> format_;
    std::vector<uint8_t> band_;  // the rows of one request, kept from frame to frame
    size_t maxRequestBytes_ = 262144;
    std::unique_ptr<XMotion> motion_;
    bool moving_ = false;
    bool gone_ = false;
    bool repaint_ = false;
    bool resize_ = false;
};

}  // namespace

std::unique_ptr<WindowHost> makeHostedHost(Form& form, uint64_t window) { return std::make_unique<HostedHost>(form, window); }

}  // namespace mv::qt
