#pragma once
// The keyboard side of a dialog: which control has the focus, where Tab and Shift+Tab take it,
// and where it goes back to when the dialog is activated again.
#include <windows.h>

#include <memory>
#include <vector>

#include "platform/ui/layout.h"
#include "platform/win32/win_dialog_controls.h"

namespace mv::win32 {

class DialogFocus {
public:
    DialogFocus(const Layout& layout, const std::vector<std::unique_ptr<ControlNode>>& nodes);

    // Orders each surface's windows by tab index: the system's own keyboard navigation
    // follows the window order.
    void orderTabStops() const;
    // Gives the focus to the first control in the design's order that takes it.
    void focusFirst() const;
    // Tab and Shift+Tab, before the dialog's window sees them; true when taken.
    bool onKey(const MSG& msg) const;
    // WM_ACTIVATE of the dialog window.
    void activated(HWND dialog, WPARAM wp);

private:
    bool takesTab(size_t row) const;

    const std::vector<std::unique_ptr<ControlNode>>& nodes_;  // one per row of the layout
    std::vector<size_t> keyboardOrder_;  // rows in the design's tab order
    HWND lastFocus_ = nullptr;
};

}  // namespace mv::win32
