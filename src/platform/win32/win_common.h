#pragma once
// Small shared pieces of the Win32 backend: the module, the icon's resource, the screen density.
#include <windows.h>

namespace mv::win32 {

HINSTANCE moduleInstance();
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
