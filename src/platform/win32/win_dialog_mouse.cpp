#include "platform/win32/win_dialog_mouse.h"

#include <windowsx.h>

#include "platform/ui/layout.h"
#include "platform/win32/win_hand_cursor.h"
#include "platform/win32/win_input.h"

namespace mv::win32 {

DialogMouse::DialogMouse(const std::vector<std::unique_ptr<ControlNode>>& nodes)
    : nodes_(nodes), hand_(makeHandCursor()) {}

DialogMouse::~DialogMouse() {
    if (hand_) DestroyCursor(hand_);
}

// The topmost row of a surface that takes the mouse at a point (a visible label), or -1.
int DialogMouse::rowAt(HWND surface, POINT p) const {
    for (size_t k = nodes_.size(); k-- > 0;)
        if (nodes_[k]->surface() == surface && nodes_[k]->hits(p)) return static_cast<int>(k);
    return -1;
}

// A press goes to the row under the mouse, and its release to the same row wherever the mouse
// is by then.
LRESULT DialogMouse::button(HWND surface, UINT msg, WPARAM wp, LPARAM lp) {
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
                      msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
    const int target = down ? rowAt(surface, p) : pressedRow_;
    if (down) {
        pressedRow_ = target;
        if (target >= 0) SetCapture(surface);
    } else {
        pressedRow_ = -1;
        if (GetCapture() == surface) ReleaseCapture();
    }
    if (target < 0) return DefWindowProcW(surface, msg, wp, lp);
    // May close the dialog: nothing follows.
    nodes_[static_cast<size_t>(target)]->mouse(down, buttonOf(msg), p);
    return 0;
}

bool DialogMouse::setCursor(HWND surface, WPARAM wp, LPARAM lp) const {
    if (reinterpret_cast<HWND>(wp) != surface || LOWORD(lp) != HTCLIENT || !hand_) return false;
    POINT p;
    GetCursorPos(&p);
    ScreenToClient(surface, &p);
    const int k = rowAt(surface, p);
    if (k < 0 || !(nodes_[static_cast<size_t>(k)]->item().flags & kHandCursor)) return false;
    SetCursor(hand_);
    return true;
}

}  // namespace mv::win32
