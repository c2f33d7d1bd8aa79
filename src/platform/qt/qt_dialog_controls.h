#pragma once
// One maker per control kind: the Qt widget that shows a layout row, and how it follows its
// control model. The dialog window picks the maker by the row's kind.
#include <QFont>
#include <QPalette>
#include <QRect>
#include <QWidget>
#include <functional>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/layout.h"

namespace mv {
class Control;
class Platform;
}  // namespace mv

namespace mv::qt {

struct ControlContext {
    const LayoutItem& item;
    QWidget* parent;
    QRect rect;  // device-independent pixels in the parent
    QFont font;
    const Units& units;
    Platform& platform;
};

struct Built {
    QWidget* widget = nullptr;
    std::function<void()> refresh;  // shows the model's state; called again on every change
};

using ControlMaker = Built (*)(const ControlContext&);
// The maker of a kind; null for the tab strip, which the dialog window builds itself.
ControlMaker controlMaker(ControlKind kind);

void setColor(QWidget* w, QPalette::ColorRole role, int32_t color, QPalette::ColorRole fallback);
// Keeps a widget's visibility and enabled state with its model's.
void syncCommon(QWidget* w, const Control& c);

}  // namespace mv::qt
