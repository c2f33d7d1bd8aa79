#pragma once

namespace mv::qt {

// Makes the program's two-image icon (32 x 32 and 16 x 16) the icon of every window.
void installAppIcon();

}  // namespace mv::qt
