#pragma once
#include <memory>

#include "platform/form.h"

namespace mv::qt {

// Builds a dialog window from the form's layout table and binds its widgets to the form's
// control models. Only called for forms whose layout() is not null.
std::unique_ptr<WindowHost> makeDialogHost(Form& form);

}  // namespace mv::qt
