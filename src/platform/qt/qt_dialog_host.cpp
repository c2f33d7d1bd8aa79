#include "platform/qt/qt_dialog_host.h"

#include <QPointer>

#include "platform/qt/qt_dialog_window.h"

namespace mv::qt {

namespace {

class DialogHost : public WindowHost {
public:
    explicit DialogHost(Form& form) : window_(new DialogWindow(form)) {}
    ~DialogHost() override {
        // The window may be handling one of its own events right now; let Qt delete it later.
        if (window_) {
            window_->hide();
            window_->deleteLater();
        }
    }
    void show() override {
        if (!window_) return;
        const bool first = !window_->isVisible();
        window_->show();
        if (first) {
            window_->raise();
            window_->activateWindow();
            window_->focusFirst();
        }
    }
    void sync() override {
        if (window_) window_->syncFromForm();
    }
    int clientWidthPx() const override { return window_ ? window_->width() : 0; }
    int clientHeightPx() const override { return window_ ? window_->height() : 0; }
    void present() override {}  // a dialog paints its controls, not a backing picture

    DialogWindow* window() const { return window_; }

private:
    QPointer<DialogWindow> window_;
};

}  // namespace

std::unique_ptr<WindowHost> makeDialogHost(Form& form) {
    if (!form.layout()) return nullptr;
    return std::make_unique<DialogHost>(form);
}

QWidget* dialogWidget(WindowHost* host) {
    auto* dialog = dynamic_cast<DialogHost*>(host);
    return dialog ? dialog->window() : nullptr;
}

}  // namespace mv::qt
