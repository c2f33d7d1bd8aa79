#include "platform/win32/win_dialog_host.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/layout.h"
#include "platform/win32/win_colors.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_dialog_controls.h"
#include "platform/win32/win_dialog_fonts.h"
#include "platform/win32/win_hand_cursor.h"
#include "platform/win32/win_input.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kDialogClass = L"MarvoscopeDialog";
constexpr int kFirstId = 100;  // below it lie IDOK and IDCANCEL, which no control answers to

// The dialog window: it places the rows, routes the messages of its surfaces to them, and
// keeps the focus and the Tab walk in the design's order.
class DialogHost : public WindowHost, private DialogSite {
public:
    DialogHost(Form& form, WinPlatform& platform)
        : form_(form), platform_(platform), layout_(*form.layout()), fonts_(layout_.items.size()) {
        registerClasses();
        units_ = Units::of(platform);
        keyboardOrder_ = dialog::tabOrder(layout_);
        faceBrush_ = GetSysColorBrush(COLOR_BTNFACE);
        hand_ = makeHandCursor();
        for (size_t i = 0; i < layout_.items.size(); ++i) nodes_.push_back(makeControlNode(*this, item(i), i));

        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
        RECT r{0, 0, units_.pixelsX(layout_.clientWidth), units_.pixelsY(layout_.clientHeight)};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        hwnd_ = CreateWindowExW(exStyle, kDialogClass, widen(form.Caption()).c_str(), style, units_.pixelsX(form.Left()),
                                units_.pixelsY(form.Top()), r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                moduleInstance(), this);
        if (!hwnd_) return;
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon(false)));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon(true)));
        for (size_t i = 0; i < nodes_.size(); ++i) {
            place(i);
            fonts_.design(i, item(i).font);
            nodes_[i]->create();
        }
        orderTabStops();
        for (auto& node : nodes_) bindModel(*node);
        platform_.addDialog(hwnd_, [this](const MSG& msg) { return onKey(msg); });
    }

    ~DialogHost() override {
        for (const auto& item : layout_.items)
            if (item.control) item.control->observer = nullptr;
        if (hwnd_) {
            platform_.removeDialog(hwnd_);
            // Detach every window first: the last messages must not reach a host being destroyed.
            EnumChildWindows(hwnd_, [](HWND child, LPARAM) -> BOOL {
                if (GetPropW(child, L"MarvoscopeHost")) RemovePropW(child, L"MarvoscopeHost");
                return TRUE;
            }, 0);
            RemovePropW(hwnd_, L"MarvoscopeHost");
            DestroyWindow(hwnd_);
        }
        if (hand_) DestroyCursor(hand_);
    }

    void show() override {
        if (!hwnd_) return;
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        focusFirst();
        UpdateWindow(hwnd_);
    }

    void sync() override {
        if (!hwnd_) return;
        SetWindowTextW(hwnd_, widen(form_.Caption()).c_str());
        // The dialog keeps its designed size; only its place follows the form.
        SetWindowPos(hwnd_, nullptr, units_.pixelsX(form_.Left()), units_.pixelsY(form_.Top()), 0, 0,
                     SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    int clientWidthPx() const override {
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.right;
    }
    int clientHeightPx() const override {
        RECT r{};
        if (hwnd_) GetClientRect(hwnd_, &r);
        return r.bottom;
    }
    void present() override {
        if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    }

private:
    static void registerClasses() {
        static bool done = false;
        if (done) return;
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &DialogHost::windowProc;
        wc.hInstance = moduleInstance();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = nullptr;
        wc.hIcon = appIcon(false);
        wc.hIconSm = appIcon(true);
        wc.lpszClassName = kDialogClass;
        RegisterClassExW(&wc);
        wc.hIcon = wc.hIconSm = nullptr;
        wc.lpszClassName = kSurfaceClass;
        RegisterClassExW(&wc);
        done = true;
    }

    const LayoutItem& item(size_t i) const { return layout_.items[i]; }

    int indexOf(const std::string& name) const {
        for (size_t i = 0; i < layout_.items.size(); ++i)
            if (layout_.items[i].name == name) return static_cast<int>(i);
        return -1;
    }

    // Where a row goes: the dialog, or whatever window its container offers it.
    void place(size_t i) {
        const LayoutItem& it = item(i);
        Placement placement{hwnd_};
        const int c = it.container.empty() ? -1 : indexOf(it.container);
        if (c >= 0 && static_cast<size_t>(c) < i) {  // a container is created before its contents
            const Placement inner = nodes_[static_cast<size_t>(c)]->placementOf(it);
            if (inner.surface) placement = inner;
        }
        nodes_[i]->place(placement);
    }

    const Units& units() const override { return units_; }
    DialogFonts& fonts() override { return fonts_; }
    Platform& platform() override { return platform_; }

    HWND makeChild(size_t row, const wchar_t* cls, DWORD style, DWORD exStyle, const std::wstring& text) override {
        const RECT r = nodes_[row]->rect();
        HWND h = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nodes_[row]->surface(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + row)), moduleInstance(),
                                 cls == kSurfaceClass ? this : nullptr);
        if (h) {
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.of(row)), FALSE);
            SetPropW(h, L"MarvoscopeHost", this);
            byHwnd_[h] = row;
        }
        return h;
    }

    HWND makePage(size_t strip, HWND parent, const RECT& area) override {
        HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN, area.left,
                                    area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                    moduleInstance(), this);
        SetPropW(page, L"MarvoscopeHost", this);
        pageOf_[page] = strip;
        return page;
    }

    COLORREF surfaceColor(HWND surface) const override {
        if (surface == hwnd_) return toColorRef(layout_.backColor, COLOR_BTNFACE);
        if (auto p = pageOf_.find(surface); p != pageOf_.end()) return toColorRef(item(p->second).backColor, COLOR_BTNFACE);
        if (auto n = byHwnd_.find(surface); n != byHwnd_.end()) {
            if (const auto own = nodes_[n->second]->backColor()) return *own;
            const LayoutItem& it = item(n->second);
            if (!it.container.empty()) {
                const int c = indexOf(it.container);
                if (c >= 0) {
                    const ControlNode& container = *nodes_[static_cast<size_t>(c)];
                    return surfaceColor(container.window() ? container.surface() : hwnd_);
                }
            }
        }
        return GetSysColor(COLOR_BTNFACE);
    }

    // Keyboard navigation follows the window order, so siblings are ordered by tab index. The
    // tab strip's pages are its own child windows, so nothing needs to lie beneath it.
    void orderTabStops() {
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

    static void bindModel(ControlNode& node) {
        Control* c = node.item().control;
        if (!c) return;
        node.refresh();
        c->observer = [&node](Control&) { node.refresh(); };
    }

    bool takesTab(size_t i) const {
        HWND h = nodes_[i]->window();
        return h && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h);
    }

    void focusFirst() {
        for (size_t i : keyboardOrder_)
            if (takesTab(i)) {
                SetFocus(nodes_[i]->window());
                return;
            }
    }

    // Tab and Shift+Tab walk the design's tab order across containers and tab pages; the
    // system's own walk follows window nesting, which the tab pages would break.
    bool onKey(const MSG& msg) {
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

    void paintSurface(HWND surface) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(surface, &ps);
        RECT client{};
        GetClientRect(surface, &client);
        HBRUSH back = CreateSolidBrush(surfaceColor(surface));
        FillRect(dc, &client, back);
        DeleteObject(back);
        if (auto n = byHwnd_.find(surface); n != byHwnd_.end()) nodes_[n->second]->paint(dc);
        SetBkMode(dc, TRANSPARENT);
        for (const auto& node : nodes_) {
            if (node->surface() != surface || !dialog::isWindowless(node->item().kind)) continue;
            const Control* c = node->item().control;
            if (c && !c->Visible()) continue;
            node->paint(dc);
        }
        EndPaint(surface, &ps);
    }

    // The topmost row of a surface that takes the mouse at a point (a visible label), or -1.
    int rowAt(HWND surface, POINT p) const {
        for (size_t k = nodes_.size(); k-- > 0;)
            if (nodes_[k]->surface() == surface && nodes_[k]->hits(p)) return static_cast<int>(k);
        return -1;
    }

    // A press goes to the row under the mouse, and its release to the same row wherever the
    // mouse is by then.
    LRESULT onMouse(HWND surface, UINT msg, WPARAM wp, LPARAM lp) {
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

    // The row whose window sent a notification, or null. A command must come from the window
    // with its id: Enter and Escape come as IDOK and IDCANCEL from no window, and reach no button.
    ControlNode* sender(UINT msg, WPARAM wp, LPARAM lp) const {
        HWND from = nullptr;
        if (msg == WM_COMMAND) {
            const int id = LOWORD(wp);
            if (id < kFirstId || !lp) return nullptr;
            const size_t i = static_cast<size_t>(id - kFirstId);
            if (i >= nodes_.size() || reinterpret_cast<HWND>(lp) != nodes_[i]->window()) return nullptr;
            return nodes_[i].get();
        }
        if (msg == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(lp);
            if (!header) return nullptr;
            from = header->hwndFrom;
        } else {
            from = reinterpret_cast<HWND>(lp);
        }
        auto found = byHwnd_.find(from);
        if (!from || found == byHwnd_.end()) return nullptr;
        return nodes_[found->second].get();
    }

    LRESULT handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        switch (msg) {
        case WM_PAINT:
            paintSurface(h);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_CLOSE:
            if (h == hwnd_) form_.requestClose();
            return 0;
        case WM_ACTIVATE:
            if (h != hwnd_) return DefWindowProcW(h, msg, wp, lp);
            // As a dialog does: the control that had the focus gets it back on return, for
            // example after the modal file-open dialog.
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowVisible(lastFocus_)) {
                SetFocus(lastFocus_);
            } else {
                focusFirst();
            }
            return 0;
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_NOTIFY:
            if (ControlNode* node = sender(msg, wp, lp); node && node->item().control) node->command(msg, wp, lp);
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            const COLORREF back = surfaceColor(h);
            SetBkColor(reinterpret_cast<HDC>(wp), back);
            if (back == GetSysColor(COLOR_BTNFACE)) return reinterpret_cast<LRESULT>(faceBrush_);
            return DefWindowProcW(h, msg, wp, lp);
        }
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(wp) == h && LOWORD(lp) == HTCLIENT && hand_) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(h, &p);
                const int k = rowAt(h, p);
                if (k >= 0 && (item(static_cast<size_t>(k)).flags & kHandCursor)) {
                    SetCursor(hand_);
                    return TRUE;
                }
            }
            return DefWindowProcW(h, msg, wp, lp);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return onMouse(h, msg, wp, lp);
        default:
            return DefWindowProcW(h, msg, wp, lp);
        }
    }

    static LRESULT CALLBACK windowProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            SetPropW(h, L"MarvoscopeHost", cs->lpCreateParams);
        }
        auto* self = static_cast<DialogHost*>(GetPropW(h, L"MarvoscopeHost"));
        if (!self) return DefWindowProcW(h, msg, wp, lp);
        LRESULT result = 0;
        guarded([&] { result = self->handle(h, msg, wp, lp); });
        return result;
    }

    Form& form_;
    WinPlatform& platform_;
    const Layout& layout_;
    DialogFonts fonts_;
    std::vector<std::unique_ptr<ControlNode>> nodes_;  // one per row of the layout
    std::map<HWND, size_t> pageOf_;  // tab page window -> its tab strip row
    std::map<HWND, size_t> byHwnd_;  // a row's own window -> the row
    HWND hwnd_ = nullptr;
    HCURSOR hand_ = nullptr;
    HBRUSH faceBrush_ = nullptr;
    Units units_;
    std::vector<size_t> keyboardOrder_;  // rows in the design's tab order
    int pressedRow_ = -1;
    HWND lastFocus_ = nullptr;
};

}  // namespace

std::unique_ptr<WindowHost> makeDialogHost(Form& form, WinPlatform& platform) {
    if (!form.layout()) return nullptr;
    return std::make_unique<DialogHost>(form, platform);
}

}  // namespace mv::win32
