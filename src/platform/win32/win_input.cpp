#include "platform/win32/win_input.h"

namespace mv::win32 {

Modifiers modifiers() { return {GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0}; }

Buttons heldButtons(WPARAM wp) { return {(wp & MK_LBUTTON) != 0, (wp & MK_RBUTTON) != 0, (wp & MK_MBUTTON) != 0}; }

Buttons buttonOf(UINT msg) {
    switch (msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: return {true, false, false};
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: return {false, true, false};
        default: return {false, false, true};
    }
}

}  // namespace mv::win32
