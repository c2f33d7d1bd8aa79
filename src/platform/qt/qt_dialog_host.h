#pragma once
#include <memory>

#include "platform/ui/form.h"

class QWidget;

namespace mv::qt {

// Builds a dialog window from the form's layout table and binds its widgets to the form's
// control models. Only called for forms whose layout() is not null.
std::unique_ptr<WindowHost> makeDialogHost(Form& form);

// The top-level widget of a host made by makeDialogHost; null for any other host.
QWidget* dialogWidget(WindowHost* host);

}  // namespace mv::qt
