#include "qt_plain_window.h"

#include <QCloseEvent>
#include <QPointer>
#include <QWidget>

#include "platform/platform.h"
#include "qt_input.h"

namespace mv::qt {

namespace {

class PlainWidget : public QWidget {
public:
    explicit PlainWidget(Form& form) : form_(&form) {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }
    void detach() { form_ = nullptr; }

protected:
    void closeEvent(QCloseEvent* e) override {
        // The form decides: its unload handler closes the window (or ends the program).
        e->ignore();
        if (Form* form = form_) dispatch([form] { form->requestClose(); });
    }

private:
    Form* form_;
};

class PlainHost : public WindowHost {
public:
    explicit PlainHost(Form& form) : form_(form), widget_(new PlainWidget(form)) { sync(); }
    ~PlainHost() override {
        if (!widget_) return;
        widget_->detach();
        widget_->hide();
        widget_->deleteLater();
    }
    void show() override {
        if (!widget_) return;
        sync();
        widget_->show();
        widget_->raise();
        widget_->activateWindow();
    }
    void sync() override {
        if (!widget_) return;
        Platform& p = form_.platform();
        widget_->setWindowTitle(QString::fromStdString(form_.Caption()));
        const QRect bounds(static_cast<int>(form_.Left() / p.twipsPerPixelX()), static_cast<int>(form_.Top() / p.twipsPerPixelY()),
                           static_cast<int>(form_.Width() / p.twipsPerPixelX()), static_cast<int>(form_.Height() / p.twipsPerPixelY()));
        if (widget_->geometry() != bounds) widget_->setGeometry(bounds);
    }
    int clientWidthPx() const override { return widget_ ? widget_->width() : 0; }
    int clientHeightPx() const override { return widget_ ? widget_->height() : 0; }
    void present() override {
        if (widget_) widget_->update();
    }

private:
    Form& form_;
    QPointer<PlainWidget> widget_;
};

}  // namespace

std::unique_ptr<WindowHost> makePlainHost(Form& form) { return std::make_unique<PlainHost>(form); }

}  // namespace mv::qt
