#include "platform/win32/win_dialog_focus.h"

#include <algorithm>
#include <map>

#include "platform/ui/dialog_geometry.h"

namespace mv::win32 {

DialogFocus::DialogFocus(const Layout& layout, const std::vector<std::unique_ptr<ControlNode>>& nodes)
    : nodes_(nodes), keyboardOrder_(dialog::tabOrder(layout)) {}

// The tab strip's pages are its own child windows, so nothing needs to lie beneath it.
void DialogFocus::orderTabStops() const {
    // Rows outside the tab order keep their design order after those in it.
    std::vector<size_t> rank(nodes_.size(), nodes_.size());
    for (size_t k = 0; k < keyboardOrder_.size(); ++k) rank[keyboardOrder_[k]] = k;
    std::map<HWND, std::vector<size_t>> siblings;
    for (size_t i = 0; i < nodes_.size(); ++i)
        if (nodes_[i]->window()) siblings[nodes_[i]->surface()].push_back(i);
    for (auto& [parent, list] : siblings) {
        std::stable_sort(list.begin(), list.end(), [&](size_t a, size_t b) { return rank[a] < rank[b]; });
        HWND after = HWND_TOP;
        for (size_t i : list) {
            SetWindowPos(nodes_[i]->window(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            after = nodes_[i]->window();
        }
    }
}

bool DialogFocus::takesTab(size_t row) const {
    HWND h = nodes_[row]->window();
    return h && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h);
}

void DialogFocus::focusFirst() const {
    for (size_t i : keyboardOrder_)
        if (takesTab(i)) {
            SetFocus(nodes_[i]->window());
            return;
        }
}

// The design's tab order runs across containers and tab pages; the system's own walk follows
// window nesting, which the tab pages would break.
bool DialogFocus::onKey(const MSG& msg) const {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    std::vector<size_t> order;
    for (size_t i : keyboardOrder_)
        if (takesTab(i) && IsWindowEnabled(nodes_[i]->window())) order.push_back(i);
    if (order.empty()) return true;
    HWND focus = GetFocus();
    size_t at = order.size();
    for (size_t k = 0; k < order.size(); ++k) {
        HWND h = nodes_[order[k]]->window();
        if (focus && (focus == h || IsChild(h, focus))) at = k;
    }
    const bool back = GetKeyState(VK_SHIFT) < 0;
    size_t next = 0;
    if (at == order.size()) next = back ? order.size() - 1 : 0;
    else next = back ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
    ControlNode& target = *nodes_[order[next]];
    SetFocus(target.window());
    target.tabbedInto();
    return true;
}

// As a dialog does: the control that had the focus gets it back on return, for example after
// the modal file-open dialog.
void DialogFocus::activated(HWND dialog, WPARAM wp) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(dialog, focus)) lastFocus_ = focus;
    } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_)) {
        SetFocus(lastFocus_);
    } else {
        focusFirst();
    }
}

}  // namespace mv::win32
