#pragma once
#include <cstdint>
#include <memory>

#include "platform/ui/form.h"

namespace mv::qt {

// The native window of a painted form in hosted mode: the form's backing picture drawn straight
// into a window another X client owns (0: the screen's root window). It creates no window of its
// own and takes no input; it follows the window's size, repaints what is exposed, and closes the
// form when the window is destroyed. Throws PlatformError when there is no X11 connection or
// no such window.
std::unique_ptr<WindowHost> makeHostedHost(Form& form, uint64_t window);

}  // namespace mv::qt
