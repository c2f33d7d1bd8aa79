#pragma once
#include <memory>

#include "platform/ui/form.h"

namespace mv::qt {

// The native window of a painted form on Wayland: a layer-shell surface on every output, in the
// background layer (no input) or the overlay layer (the pointer hidden, the keyboard taken, and
// input handed to the form). It follows outputs that come and go, and closes the form when the
// compositor goes. Needs WaylandDisplay::connect() to have succeeded.
std::unique_ptr<WindowHost> makeLayerHost(Form& form, bool overlay);

}  // namespace mv::qt
