#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/platform.h"

namespace mv::win32 {

// The filter string GetOpenFileName expects: "description\0patterns\0...\0\0". A filter
// with no "|" is its own description and pattern list.
std::wstring fileDialogFilter(const std::string& filter);

// The user's known folders a file dialog may start in (Pictures, the profile); "" when the
// system has none.
std::string knownFolder(const KNOWNFOLDERID& id);
bool isFolder(const std::string& path);

// The modal file-open dialog; returns the chosen path, throws PlatformError(ErrCancel) on cancel.
std::string showOpenDialog(HWND owner, const OpenFileRequest& request);
// The shell's folder chooser, starting at `start`; throws ErrCancel when cancelled.
std::string showFolderDialog(HWND owner, const std::string& start);

}  // namespace mv::win32
