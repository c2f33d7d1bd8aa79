#pragma once
#include <QCursor>

namespace mv::qt {

// The web links' pointing hand, from the shared cursor picture.
QCursor handQCursor();

}  // namespace mv::qt
