#pragma once
#include <windows.h>

namespace mv::win32 {

// The web links' pointing hand as a native cursor; the caller destroys it with DestroyCursor.
HCURSOR makeHandCursor();

}  // namespace mv::win32
