#pragma once
// Labels, shapes and lines have no window of their own: their container paints them, in design
// order, beneath its windowed controls, and hit-tests the labels for the mouse.
#include <memory>

#include "platform/win32/win_dialog_controls.h"

namespace mv::win32 {

std::unique_ptr<ControlNode> makeLabelNode(DialogSite& site, const LayoutItem& item, size_t row);
std::unique_ptr<ControlNode> makeShapeNode(DialogSite& site, const LayoutItem& item, size_t row);
std::unique_ptr<ControlNode> makeLineNode(DialogSite& site, const LayoutItem& item, size_t row);

}  // namespace mv::win32
