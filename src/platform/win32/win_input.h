#pragma once
// Win32 input as the core's raw input: the modifier keys held and the mouse buttons.
#include <windows.h>

#include "platform/ui/form_input.h"

namespace mv::win32 {

Modifiers modifiers();
// The buttons held during a mouse message (its wParam).
Buttons heldButtons(WPARAM wp);
// The button a button message is about.
Buttons buttonOf(UINT msg);

}  // namespace mv::win32
