#pragma once
#include <xcb/xcb.h>

namespace mv::qt {

// The screen the display name picks (":0.1" is screen 1), as every X program takes by default;
// the first one when the name picks none that exists.
const xcb_screen_t* defaultScreen(xcb_connection_t* c);

}  // namespace mv::qt
