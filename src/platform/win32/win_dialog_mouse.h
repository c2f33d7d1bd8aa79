#pragma once
// The mouse over a dialog's windowless rows (the labels): which row a press goes to, the
// capture until its release, and the pointing hand over the web links.
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/win_dialog_controls.h"

namespace mv::win32 {

class DialogMouse {
public:
    explicit DialogMouse(const std::vector<std::unique_ptr<ControlNode>>& nodes);
    ~DialogMouse();
    DialogMouse(const DialogMouse&) = delete;
    DialogMouse& operator=(const DialogMouse&) = delete;

    // A button message of a surface. May close the dialog: the caller touches nothing after it.
    LRESULT button(HWND surface, UINT msg, WPARAM wp, LPARAM lp);
    // WM_SETCURSOR of a surface; true when the hand was set.
    bool setCursor(HWND surface, WPARAM wp, LPARAM lp) const;

private:
    int rowAt(HWND surface, POINT p) const;

    const std::vector<std::unique_ptr<ControlNode>>& nodes_;  // one per row of the layout
    HCURSOR hand_ = nullptr;
    int pressedRow_ = -1;
};

}  // namespace mv::win32
