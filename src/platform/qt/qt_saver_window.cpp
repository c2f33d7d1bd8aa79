#include "qt_saver_window.h"

#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "platform/platform.h"
#include "qt_input.h"

namespace mv::qt {

namespace {

class SaverWidget : public QWidget {
public:
    explicit SaverWidget(Form& form) : form_(&form) {
        // Above panels and other windows for as long as the show runs.
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NoSystemBackground);
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }

    // The form is gone: events still queued for this widget must not reach it.
    void detach() { form_ = nullptr; }
    Form* form() const { return form_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QColor back = form_ ? QColor::fromRgb(colorToPixel(form_->BackColor())) : QColor(Qt::black);
        if (form_ && !form_->backing().empty()) {
            const Bitmap& b = form_->backing();
            // Wraps the form's pixels as they are: no copy per repaint.
            const QImage image(reinterpret_cast<const uchar*>(b.pixels.data()), b.width, b.height,
                               static_cast<qsizetype>(b.width) * 4, QImage::Format_RGB32);
            painter.drawImage(0, 0, image);
            if (b.width < width()) painter.fillRect(b.width, 0, width() - b.width, height(), back);
            if (b.height < height()) painter.fillRect(0, b.height, b.width, height() - b.height, back);
        } else {
            painter.fillRect(rect(), back);
        }
    }

    void mousePressEvent(QMouseEvent* e) override {
        const QPointF p = devicePosition(*e, *this);
        call([&](Form& f) { input::buttonDown(f, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y()); });
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        const QPointF p = devicePosition(*e, *this);
        call([&](Form& f) { input::buttonUp(f, buttonsOf(e->button()), modifiersOf(e->modifiers()), p.x(), p.y()); });
    }

    void mouseDoubleClickEvent(QMouseEvent*) override {
        call([](Form& f) { input::doubleClick(f); });
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        const QPointF p = devicePosition(*e, *this);
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
    // Runs one input event; nothing when the form went away before it came.
    template <class F>
    void call(F&& handler) {
        if (!form_) return;
        Form& form = *form_;
        dispatch([&] { handler(form); });
    }

    Form* form_;
};

class SaverHost : public WindowHost {
public:
    explicit SaverHost(Form& form) : form_(form), widget_(new SaverWidget(form)) { sync(); }

    ~SaverHost() override {
        if (!widget_) return;
        widget_->detach();
        widget_->releaseKeyboard();
        widget_->hide();
        // It may be inside one of its own event handlers right now.
        widget_->deleteLater();
    }

    void show() override {
        if (!widget_) return;
        sync();
        if (form_.windowState() == WindowState::Maximized)
            widget_->showFullScreen();
        else
            widget_->show();
        widget_->raise();
        widget_->activateWindow();
        widget_->setFocus(Qt::ActiveWindowFocusReason);
        // A screen saver takes the keyboard, whichever window had the focus.
        widget_->grabKeyboard();
    }

    void sync() override {
        if (!widget_) return;
        widget_->setWindowTitle(QString::fromStdString(form_.Caption()));
        QRect bounds;
        if (form_.windowState() == WindowState::Maximized) {
            // Without a window manager nothing would enlarge the window: size it ourselves.
            QScreen* screen = QGuiApplication::primaryScreen();
            bounds = screen ? screen->geometry() : QRect(0, 0, 640, 480);
        } else {
            Platform& p = form_.platform();
            bounds = QRect(static_cast<int>(form_.Left() / p.twipsPerPixelX()), static_cast<int>(form_.Top() / p.twipsPerPixelY()),
                           static_cast<int>(form_.Width() / p.twipsPerPixelX()), static_cast<int>(form_.Height() / p.twipsPerPixelY()));
        }
        if (widget_->geometry() != bounds) widget_->setGeometry(bounds);
        const bool maximized = form_.windowState() == WindowState::Maximized;
        if (widget_->isVisible() && maximized && !widget_->isFullScreen()) widget_->showFullScreen();
    }

    int clientWidthPx() const override { return widget_ ? widget_->width() : 0; }
    int clientHeightPx() const override { return widget_ ? widget_->height() : 0; }

    void present() override {
        if (widget_) widget_->update();
    }

private:
    Form& form_;
    QPointer<SaverWidget> widget_;
};

}  // namespace

std::unique_ptr<WindowHost> makeSaverHost(Form& form) { return std::make_unique<SaverHost>(form); }

}  // namespace mv::qt
