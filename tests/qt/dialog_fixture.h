#pragma once
// The setup dialog on real Qt widgets (offscreen platform), with the rest of the system scripted.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QSettings>
#include <QWidget>

#include "platform/qt/qt_dialog_host.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "support/fake_platform.h"

namespace mv::test {

inline QApplication& qtApp() {
    // The toolkit's file dialog remembers its history in the user's settings: keep that here.
    static TempDir toolkitSettings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(toolkitSettings.path().string()));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(toolkitSettings.path().string()));
    static int argc = 1;
    static char name[] = "marvoscope_qt_tests";
    static char* argv[] = {name, nullptr};
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Where a widget can be seen in its window: its rectangle cut by every container's edges.
inline QRect seenPart(const QWidget* widget, const QWidget* window) {
    QRect seen(widget->mapTo(window, QPoint(0, 0)), widget->size());
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget())
        seen &= QRect(up->mapTo(window, QPoint(0, 0)), up->size());
    return seen;
}

// Dialog windows come from the Qt backend; pending events include Qt's own.
class QtDialogPlatform : public FakePlatform {
public:
    std::unique_ptr<WindowHost> createWindow(Form& form) override {
        if (form.layout()) return qt::makeDialogHost(form);
        return FakePlatform::createWindow(form);
    }
    void doEvents() override {
        QCoreApplication::processEvents();
        FakePlatform::doEvents();
    }
};

class QtDialogTest : public ::testing::Test {
protected:
    QtDialogTest() { qtApp(); }

    void SetUp() override {
        dlg.Show();
        window = qt::dialogWidget(dlg.host());
        ASSERT_NE(window, nullptr);
        window->activateWindow();
        QApplication::processEvents();
    }

    template <class W = QWidget>
    W* w(const char* name) {
        auto* found = window->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void key(QWidget* target, int k, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, k, mods, text);
        QApplication::sendEvent(target, &release);
        QApplication::processEvents();
    }
    // Types into whatever has the focus.
    void type(const QString& text) {
        for (QChar c : text) key(QApplication::focusWidget(), c.unicode() >= 'a' ? c.toUpper().unicode() : c.unicode(), QString(c));
    }
    void mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at = {5, 5}) {
        const QPointF local(at), global(target->mapToGlobal(at));
        QMouseEvent e(type, local, global, button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                      Qt::NoModifier);
        QApplication::sendEvent(target, &e);
        QApplication::processEvents();
    }

    QtDialogPlatform platform;
    App app{platform};
    frmSetup2& dlg = *app.setupForm;
    QWidget* window = nullptr;
};

}  // namespace mv::test
