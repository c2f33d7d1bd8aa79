#pragma once
#include <memory>

#include "platform/ui/form.h"

namespace mv::win32 {

class WinPlatform;

// A dialog window built from the form's layout table, its native controls bound to the
// form's control models. Only called for forms whose layout() is not null.
std::unique_ptr<WindowHost> makeDialogHost(Form& form, WinPlatform& platform);

}  // namespace mv::win32
