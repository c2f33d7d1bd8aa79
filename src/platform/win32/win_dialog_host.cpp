#include "win_dialog_host.h"

#include "win_form_host.h"

namespace mv::win32 {

std::unique_ptr<WindowHost> makeDialogHost(Form& form, WinPlatform& platform) { return makeFormHost(form, platform); }

}  // namespace mv::win32
