#include "qt_dialog_host.h"

namespace mv::qt {

std::unique_ptr<WindowHost> makeDialogHost(Form&) { return nullptr; }

}  // namespace mv::qt
