#pragma once
#include <memory>

#include "platform/ui/form.h"

namespace mv::win32 {

class WinPlatform;

// A painted window (the saver): a top-level window that shows the form's backing picture and
// turns mouse and keyboard messages into the form's handlers.
std::unique_ptr<WindowHost> makeFormHost(Form& form, WinPlatform& platform);

}  // namespace mv::win32
