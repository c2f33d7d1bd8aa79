#pragma once
#include <memory>

#include "platform/ui/form.h"

namespace mv::qt {

// The native window of a borderless painted form (the saver window): covers the whole screen,
// shows the form's backing picture and feeds mouse and keyboard input to the form's handlers.
std::unique_ptr<WindowHost> makeSaverHost(Form& form);

}  // namespace mv::qt
