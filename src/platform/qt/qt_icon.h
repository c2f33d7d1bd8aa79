#pragma once
#include <QIcon>

namespace mv::qt {

// Makes the program's two-image icon (32 x 32 and 16 x 16) the icon of every window.
void installAppIcon();

// The program's icon with both of its images.
QIcon appQIcon();

}  // namespace mv::qt
