#pragma once
// Small shared pieces of the Win32 backend: the module, the program icon, the open dialogs.
#include <windows.h>

#include <functional>
#include <map>
#include <set>

namespace mv::win32 {

HINSTANCE moduleInstance();
// The program's icon at the large or small system size (null when the resource is missing).
HICON appIcon(bool small);
// Top-level dialog windows; the message loop lets them handle Tab and arrow keys.
std::set<HWND>& dialogWindows();
// Keyboard handlers of the dialogs, tried before the system's dialog navigation: each gets
// the messages for its dialog and its controls and returns whether it took the message.
std::map<HWND, std::function<bool(const MSG&)>>& dialogKeyHandlers();
// Pixels per logical inch of the screen (96 at 100 %).
int screenDpiX();
int screenDpiY();

constexpr int kIconResource = 1;

}  // namespace mv::win32

#include <functional>

namespace mv::win32 {

// Runs a piece of program code called from Windows (a window message, a timer tick). A
// failure nothing caught ends the program with the classic run-time error box: exceptions
// must not unwind through the system's own frames.
void guarded(const std::function<void()>& code);

}  // namespace mv::win32
