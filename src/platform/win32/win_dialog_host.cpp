#include "platform/win32/win_dialog_host.h"

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/layout.h"
#include "platform/win32/win_colors.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_dialog_controls.h"
#include "platform/win32/win_dialog_focus.h"
#include "platform/win32/win_dialog_fonts.h"
#include "platform/win32/win_dialog_mouse.h"
#include "platform/win32/win_platform.h"
#include "platform/win32/win_text.h"
#include "platform/win32/win_window.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kDialogClass = L"MarvoscopeDialog";
constexpr int kFirstId = 100;  // below it lie IDOK and IDCANCEL, which no control answers to

// The dialog window: it places the rows and routes the messages of its surfaces to them.
class DialogHost : public WindowHost, private DialogSite, private WindowTarget {
public:
    DialogHost(Form& form, WinPlatform& platform)
        : form_(form), platform_(platform), layout_(*form.layout()), fonts_(layout_.items.size()),
          units_(Units::of(platform)), focus_(layout_, nodes_), mouse_(nodes_) {
        registerWindowClass(kDialogClass, 0, true);
        registerWindowClass(kSurfaceClass, 0, false);
        faceBrush_ = GetSysColorBrush(COLOR_BTNFACE);
        for (size_t i = 0; i < layout_.items.size(); ++i) nodes_.push_back(makeControlNode(*this, item(i), i));

        // A modal dialog belongs to the one it was opened from: it stays above it, and shares
        // its task-bar button.
        if (layout_.modal) owner_ = platform_.openDialog();
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | (owner_ ? 0 : WS_EX_APPWINDOW);
        RECT r{0, 0, units_.pixelsX(layout_.clientWidth), units_.pixelsY(layout_.clientHeight)};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        hwnd_ = CreateWindowExW(exStyle, kDialogClass, widen(form.Caption()).c_str(), style,
                                units_.pixelsX(form.Left()), units_.pixelsY(form.Top()), r.right - r.left,
                                r.bottom - r.top, owner_, nullptr, moduleInstance(), target());
        if (!hwnd_) return;
        setAppIcons(hwnd_);
        for (size_t i = 0; i < nodes_.size(); ++i) {
            place(i);
            fonts_.design(i, item(i).font);
            nodes_[i]->create();
        }
        focus_.orderTabStops();
        for (auto& node : nodes_) bindModel(*node);
        platform_.addDialog(hwnd_, [this](const MSG& msg) { return focus_.onKey(msg); });
    }

    ~DialogHost() override {
        for (const auto& item : layout_.items)
            if (item.control) item.control->observer = nullptr;
        // The owner takes input again before this one goes, so that it is the one activated.
        if (owner_ && IsWindow(owner_)) EnableWindow(owner_, TRUE);
        if (hwnd_) {
            platform_.removeDialog(hwnd_);
            destroyDetached(hwnd_);
        }
    }

    void show() override {
        if (!hwnd_) return;
        if (owner_) EnableWindow(owner_, FALSE);
        bringToFront(hwnd_);
        focus_.focusFirst();
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
    WindowTarget* target() { return this; }

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
                                 cls == kSurfaceClass ? target() : nullptr);
        if (h) {
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.of(row)), FALSE);
            attachTarget(h, target());
            byHwnd_[h] = row;
        }
        return h;
    }

    HWND makePage(size_t strip, HWND parent, const RECT& area) override {
        HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN, area.left,
                                    area.top, area.right - area.left, area.bottom - area.top, parent, nullptr,
                                    moduleInstance(), target());
        attachTarget(page, target());
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

    static void bindModel(ControlNode& node) {
        Control* c = node.item().control;
        if (!c) return;
        node.refresh();
        c->observer = [&node](Control&) { node.refresh(); };
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

    LRESULT handle(HWND h, UINT msg, WPARAM wp, LPARAM lp) override {
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
            focus_.activated(hwnd_, wp);
            return 0;
        case WM_COMMAND:
            // Escape, as the close box, closes a modal dialog; the others answer to neither key.
            if (LOWORD(wp) == IDCANCEL && !lp && layout_.modal) {
                form_.requestClose();
                return 0;
            }
            [[fallthrough]];
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
            return mouse_.setCursor(h, wp, lp) ? TRUE : DefWindowProcW(h, msg, wp, lp);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            return mouse_.button(h, msg, wp, lp);
        default:
            return DefWindowProcW(h, msg, wp, lp);
        }
    }

    Form& form_;
    WinPlatform& platform_;
    const Layout& layout_;
    DialogFonts fonts_;
    std::vector<std::unique_ptr<ControlNode>> nodes_;  // one per row of the layout
    std::map<HWND, size_t> pageOf_;  // tab page window -> its tab strip row
    std::map<HWND, size_t> byHwnd_;  // a row's own window -> the row
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;  // the dialog a modal one was opened from
    HBRUSH faceBrush_ = nullptr;
    Units units_;
    DialogFocus focus_;
    DialogMouse mouse_;
};

}  // namespace

std::unique_ptr<WindowHost> makeDialogHost(Form& form, WinPlatform& platform) {
    if (!form.layout()) return nullptr;
    return std::make_unique<DialogHost>(form, platform);
}

}  // namespace mv::win32
