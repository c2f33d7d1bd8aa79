#include "qt_icon.h"

namespace mv::qt {

void installAppIcon() {}

}  // namespace mv::qt
