#pragma once
#include <string>

#include "platform/platform.h"

namespace mv::qt {

// The modal file-open dialog; returns the chosen path, throws PlatformError(ErrCancel) on cancel.
std::string showOpenDialog(const OpenFileRequest& request);

}  // namespace mv::qt
