#include "platform/qt/qt_saver_host.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/platform.h"
#include "platform/qt/qt_input.h"
#include "platform/qt/qt_shm_pixels.h"
#include "platform/qt/qt_x_motion.h"
#include "platform/ui/units.h"

namespace mv::qt {

namespace {

// One window of the show: it covers one monitor (or, for a form that is not maximised, the
// form's bounds) and shows that monitor's backing picture pixel for pixel.
class SaverWidget : public QWidget {
public:
    explicit SaverWidget(Form& form, bool onScreen) : form_(&form), onScreen_(onScreen) {
        // Above panels and other windows for as long as the show runs.
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        // The form's picture goes to the X server straight from its memory: no window buffer
        // of the toolkit's own, and no copy of every frame into one.
        if (onScreen_) setAttribute(Qt::WA_PaintOnScreen);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    ~SaverWidget() override {
        motion_.reset();
        if (gc_) xcb_free_gc(shmPixels().connection(), gc_);
    }

    // A moving picture's frame, scaled by the X server; false where it cannot be.
    bool showMoving(const MovingScene& scene) {
        if (!onScreen_ || !isVisible()) return false;
        if (!motion_) {
            xcb_connection_t* c = shmPixels().connection();
            const auto window = static_cast<xcb_window_t>(winId());
            xcb_get_window_attributes_reply_t* a = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
            xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
            if (a && g) motion_ = std::make_unique<XMotion>(c, window, a->visual, g->depth);
            std::free(a);
            std::free(g);
            if (!motion_) return false;
        }
        const Surface area = surface();
        moving_ = motion_->usable() && motion_->show(scene, area.width, area.height);
        return moving_;
    }
    // The backing picture is to be shown again.
    void showBacking() {
        moving_ = false;
        if (motion_) motion_->reset();
        update();
    }
    QPaintEngine* paintEngine() const override { return onScreen_ ? nullptr : QWidget::paintEngine(); }

    // The form is gone: events still queued for this widget must not reach it.
    void detach() { form_ = nullptr; }
    void setSurface(size_t index) { surface_ = index; }
    QScreen* shownOn = nullptr;  // the monitor it covers; null for a form that is not maximised

    // Its surface: device pixels, placed in the desktop's coordinate space.
    Surface surface() const {
        const double dpr = devicePixelRatioF();
        const QPoint origin = origin_();
        return {origin.x(), origin.y(), static_cast<int>(std::lround(width() * dpr)),
                static_cast<int>(std::lround(height() * dpr))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (onScreen_) return paintOnScreen();
        QPainter painter(this);
        const QColor back = form_ ? QColor::fromRgb(colorToPixel(form_->BackColor())) : QColor(Qt::black);
        const Bitmap* b = form_ ? &form_->backing(surface_) : nullptr;
        if (b && !b->empty()) {
            // Wraps the form's pixels as they are, one to one with the device: no copy, no scaling.
            QImage image(reinterpret_cast<const uchar*>(b->pixels.data()), b->width, b->height,
                         static_cast<qsizetype>(b->width) * 4, QImage::Format_RGB32);
            const double dpr = devicePixelRatioF();
            image.setDevicePixelRatio(dpr);
            painter.drawImage(0, 0, image);
            const double w = b->width / dpr, h = b->height / dpr;
            if (w < width()) painter.fillRect(QRectF(w, 0, width() - w, height()), back);
            if (h < height()) painter.fillRect(QRectF(0, h, w, height() - h), back);
        } else {
            painter.fillRect(rect(), back);
        }
    }

    void mousePressEvent(QMouseEvent* e) override {
        const QPointF p = desktopPosition(*e);
        call([&](Form& f) { input::buttonDown(f, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y()); });
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        const QPointF p = desktopPosition(*e);
        call([&](Form& f) { input::buttonUp(f, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y()); });
    }

    void mouseDoubleClickEvent(QMouseEvent*) override {
        call([](Form& f) { input::doubleClick(f); });
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        const QPointF p = desktopPosition(*e);
        call([&](Form& f) { input::move(f, buttonsOf(e->buttons()), modifiersOf(e->modifiers()), p.x(), p.y()); });
    }

    void keyPressEvent(QKeyEvent* e) override {
        call([&](Form& f) { input::keyDown(f, keyCode(*e), modifiersOf(e->modifiers()), keyAscii(*e)); });
    }

    void closeEvent(QCloseEvent* e) override {
        e->ignore();
        call([](Form& f) { f.requestClose(); });
    }

private:
    // The backing picture put from shared memory; the rest of the window in the form's colour.
    void paintOnScreen() {
        // An expose while a moving picture shows: its last frame again, not the older backing.
        if (moving_ && motion_ && motion_->showAgain(surface().width, surface().height)) return;
        xcb_connection_t* c = shmPixels().connection();
        const auto window = static_cast<xcb_window_t>(winId());
        if (!gc_) {
            gc_ = xcb_generate_id(c);
            const uint32_t noExposures = 0;
            xcb_create_gc(c, gc_, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
        }
        const Surface area = surface();
        const Bitmap* b = form_ ? &form_->backing(surface_) : nullptr;
        int w = 0, h = 0;
        if (b && !b->empty()) {
            w = std::min(b->width, area.width);
            h = std::min(b->height, area.height);
            if (!putShmPixels(window, gc_, b->pixels.data(), b->width, w, h, 0, 0)) w = h = 0;
        }
        const uint32_t back = colorToPixel(form_ ? form_->BackColor() : 0) & 0xFFFFFFu;
        xcb_change_gc(c, gc_, XCB_GC_FOREGROUND, &back);
        std::vector<xcb_rectangle_t> rest;
        if (w < area.width) rest.push_back({static_cast<int16_t>(w), 0, static_cast<uint16_t>(area.width - w), static_cast<uint16_t>(area.height)});
        if (h < area.height && w > 0) rest.push_back({0, static_cast<int16_t>(h), static_cast<uint16_t>(w), static_cast<uint16_t>(area.height - h)});
        if (!rest.empty()) xcb_poly_fill_rectangle(c, window, gc_, static_cast<uint32_t>(rest.size()), rest.data());
        xcb_flush(c);
    }

    // A monitor's own origin (Qt keeps it in device pixels), so that moving from one monitor
    // onto the next is an ordinary small move.
    QPoint origin_() const { return shownOn ? shownOn->geometry().topLeft() : QPoint(0, 0); }

    QPointF desktopPosition(const QMouseEvent& e) const { return QPointF(origin_()) + devicePosition(e, *this); }

    // Runs one input event; nothing when the form went away before it came.
    template <class F>
    void call(F&& handler) {
        if (!form_) return;
        Form& form = *form_;
        dispatch([&] { handler(form); });
    }

    Form* form_;
    const bool onScreen_;
    xcb_gcontext_t gc_ = 0;
    size_t surface_ = 0;
    std::unique_ptr<XMotion> motion_;
    bool moving_ = false;  // the window shows a moving picture's frame, not the backing
};

// The primary monitor first, so that its surface is the form's inner area.
std::vector<QScreen*> screensPrimaryFirst() {
    std::vector<QScreen*> screens;
    QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) screens.push_back(primary);
    for (QScreen* s : QGuiApplication::screens())
        if (s != primary) screens.push_back(s);
    return screens;
}

class SaverHost : public WindowHost {
public:
    explicit SaverHost(Form& form) : form_(form) {
        // Monitors that come or go while the show runs get (or lose) their window.
        QObject::connect(qApp, &QGuiApplication::screenAdded, &watcher_, [this](QScreen*) { screensChanged(); });
        QObject::connect(qApp, &QGuiApplication::screenRemoved, &watcher_, [this](QScreen*) { screensChanged(); });
        QObject::connect(qApp, &QGuiApplication::primaryScreenChanged, &watcher_, [this](QScreen*) { screensChanged(); });
        sync();
    }

    ~SaverHost() override {
        QObject::disconnect(&watcher_, nullptr, nullptr, nullptr);
        for (auto& w : widgets_) drop(w);
    }

    void show() override {
        shown_ = true;
        sync();
        for (auto& w : widgets_) showWidget(w);
        if (widgets_.empty() || !widgets_.front()) return;
        SaverWidget* first = widgets_.front();
        first->activateWindow();
        first->setFocus(Qt::ActiveWindowFocusReason);
        // A screen saver takes the keyboard, whichever window had the focus.
        first->grabKeyboard();
    }

    void sync() override {
        const bool maximized = form_.windowState() == WindowState::Maximized;
        const std::vector<QScreen*> screens = maximized ? screensPrimaryFirst() : std::vector<QScreen*>{nullptr};
        const size_t count = std::max<size_t>(1, screens.size());
        while (widgets_.size() > count) {
            drop(widgets_.back());
            widgets_.pop_back();
        }
        while (widgets_.size() < count) widgets_.emplace_back(new SaverWidget(form_, shmPixels().usable()));
        for (size_t i = 0; i < widgets_.size(); ++i) {
            SaverWidget* w = widgets_[i];
            if (!w) continue;
            w->setSurface(i);
            w->setWindowTitle(QString::fromStdString(form_.Caption()));
            QScreen* screen = i < screens.size() ? screens[i] : nullptr;
            w->shownOn = screen;
            QRect bounds;
            if (screen) {
                // Without a window manager nothing would enlarge the window: size it ourselves.
                if (w->screen() != screen) w->setScreen(screen);
                bounds = screen->geometry();
            } else if (maximized) {
                bounds = QRect(0, 0, 640, 480);
            } else {
                const Units units = Units::of(form_.platform());
                bounds = QRect(units.pixelsX(form_.Left()), units.pixelsY(form_.Top()), units.pixelsX(form_.Width()),
                               units.pixelsY(form_.Height()));
            }
            if (w->geometry() != bounds) w->setGeometry(bounds);
            if (shown_ && w->isVisible() && maximized && !w->isFullScreen()) w->showFullScreen();
        }
    }

    int clientWidthPx() const override { return primary().width; }
    int clientHeightPx() const override { return primary().height; }

    std::vector<Surface> surfaces() const override {
        std::vector<Surface> list;
        for (const auto& w : widgets_) list.push_back(w ? w->surface() : Surface{});
        return list;
    }

    std::pmr::memory_resource* pixelMemory() override { return shmPixels().usable() ? &shmPixels() : nullptr; }

    void present() override {
        for (auto& w : widgets_)
            if (w) w->showBacking();
    }

    bool showMoving(size_t surface, const MovingScene& scene) override {
        return surface < widgets_.size() && widgets_[surface] && widgets_[surface]->showMoving(scene);
    }

    double refreshRate() const override {
        QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->refreshRate() : 60.0;
    }

private:
    Surface primary() const { return !widgets_.empty() && widgets_.front() ? widgets_.front()->surface() : Surface{}; }

    void showWidget(SaverWidget* w) {
        if (!w) return;
        if (form_.windowState() == WindowState::Maximized)
            w->showFullScreen();
        else
            w->show();
        w->raise();
    }

    static void drop(QPointer<SaverWidget>& w) {
        if (!w) return;
        w->detach();
        w->releaseKeyboard();
        w->hide();
        // It may be inside one of its own event handlers right now.
        w->deleteLater();
        w = nullptr;
    }

    void screensChanged() {
        sync();
        if (shown_) show();
        form_.surfacesChanged();
    }

    Form& form_;
    QObject watcher_;
    std::vector<QPointer<SaverWidget>> widgets_;
    bool shown_ = false;
};

}  // namespace

std::unique_ptr<WindowHost> makeSaverHost(Form& form) { return std::make_unique<SaverHost>(form); }

}  // namespace mv::qt
