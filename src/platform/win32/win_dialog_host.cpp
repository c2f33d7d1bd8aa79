#include "win_dialog_host.h"

#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <vector>

#include "platform/controls/checkbox.h"
#include "platform/controls/commandbutton.h"
#include "platform/controls/frame.h"
#include "platform/controls/label.h"
#include "platform/controls/line.h"
#include "platform/controls/picturebox.h"
#include "platform/controls/scrollbar.h"
#include "platform/controls/shape.h"
#include "platform/controls/tabstrip.h"
#include "platform/controls/textbox.h"
#include "platform/layout.h"
#include "win_colors.h"
#include "win_common.h"
#include "win_dialog_fonts.h"
#include "win_input.h"
#include "win_hand_cursor.h"
#include "win_platform.h"
#include "platform/dialog_geometry.h"
#include "platform/scroll_map.h"
#include "win_text.h"
#include "platform/text_wrap.h"

namespace mv::win32 {
namespace {

constexpr const wchar_t* kDialogClass = L"MarvoscopeDialog";
constexpr const wchar_t* kSurfaceClass = L"MarvoscopeSurface";
constexpr int kFirstId = 100;  // below it lie IDOK and IDCANCEL, which no control answers to

// Labels, shapes and lines have no window of their own: their container paints them, in
// design order, beneath its windowed controls, and hit-tests the labels for the mouse.

class DialogHost : public WindowHost {
public:
    DialogHost(Form& form, WinPlatform& platform)
        : form_(form),
          platform_(platform),
          layout_(*form.layout()),
          fonts_(layout_.items.size()),
          nodes_(layout_.items.size()) {
        registerClasses();
        scale_ = {platform.twipsPerPixelX(), platform.twipsPerPixelY()};
        keyboardOrder_ = dialog::tabOrder(layout_);
        faceBrush_ = GetSysColorBrush(COLOR_BTNFACE);
        hand_ = makeHandCursor();

        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME | WS_CLIPCHILDREN;
        const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
        RECT r{0, 0, scale_.x(layout_.clientWidth), scale_.y(layout_.clientHeight)};
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
        hwnd_ = CreateWindowExW(exStyle, kDialogClass, widen(form.Caption()).c_str(), style, scale_.x(form.Left()),
                                scale_.y(form.Top()), r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                moduleInstance(), this);
        if (!hwnd_) return;
        SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon(false)));
        SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon(true)));
        for (size_t i = 0; i < layout_.items.size(); ++i) createNode(i);
        orderTabStops();
        for (size_t i = 0; i < nodes_.size(); ++i) bindModel(i);
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
        SetWindowPos(hwnd_, nullptr, scale_.x(form_.Left()), scale_.y(form_.Top()), 0, 0,
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
    struct Node {
        HWND hwnd = nullptr;     // windowed controls and containers
        HWND surface = nullptr;  // the window this row is placed on (or painted on)
        int dx = 0, dy = 0;      // pixel offset of the container's origin on that surface
    };


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

    // Where a row goes: its container's window, or for a tab strip's child the page window.
    void place(size_t i) {
        const LayoutItem& it = item(i);
        Node& n = nodes_[i];
        n.surface = hwnd_;
        if (it.container.empty()) return;
        const int c = indexOf(it.container);
        if (c < 0 || static_cast<size_t>(c) >= i) return;  // a container is created before its contents
        const LayoutItem& container = item(static_cast<size_t>(c));
        if (container.kind == ControlKind::TabStrip) {
            const int page = std::clamp(it.page < 0 ? 0 : it.page, 0, std::max(0, static_cast<int>(pages_.size()) - 1));
            if (pages_.empty()) return;
            n.surface = pages_[static_cast<size_t>(page)];
            n.dx = -pageOrigin_.x;
            n.dy = -pageOrigin_.y;
        } else if (nodes_[static_cast<size_t>(c)].hwnd) {
            n.surface = nodes_[static_cast<size_t>(c)].hwnd;
        }
    }

    RECT rectOf(size_t i) const {
        const LayoutItem& it = item(i);
        const Node& n = nodes_[i];
        const dialog::PixelRect p = dialog::rectOf(it, scale_);
        return RECT{p.left + n.dx, p.top + n.dy, p.left + n.dx + p.width, p.top + n.dy + p.height};
    }

    HWND makeChild(const wchar_t* cls, DWORD style, DWORD exStyle, size_t i, const std::wstring& text = {}) {
        const RECT r = rectOf(i);
        HWND h = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_CLIPSIBLINGS | style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, nodes_[i].surface,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + i)), moduleInstance(),
                                 cls == kSurfaceClass ? this : nullptr);
        if (h) {
            SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.of(i)), FALSE);
            SetPropW(h, L"MarvoscopeHost", this);
            byHwnd_[h] = i;
        }
        return h;
    }

    void createNode(size_t i) {
        const LayoutItem& it = item(i);
        Node& n = nodes_[i];
        place(i);
        fonts_.design(i, it.font);
        const std::wstring caption = widen(it.caption);
        if (it.kind == ControlKind::Label || it.kind == ControlKind::CommandButton) fitCaption(i, caption);
        switch (it.kind) {
        case ControlKind::TabStrip: {
            n.hwnd = makeChild(WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, 0, i);
            if (!n.hwnd) break;
            for (size_t t = 0; t < it.tabs.size(); ++t) {
                std::wstring text = widen(it.tabs[t]);
                TCITEMW tab{};
                tab.mask = TCIF_TEXT;
                tab.pszText = text.data();
                SendMessageW(n.hwnd, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&tab));
            }
            if (it.tabHeight > 0) SendMessageW(n.hwnd, TCM_SETITEMSIZE, 0, MAKELPARAM(0, scale_.y(it.tabHeight)));
            RECT display{};
            GetClientRect(n.hwnd, &display);
            SendMessageW(n.hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
            pageOrigin_ = POINT{display.left, display.top};
            for (size_t t = 0; t < it.tabs.size(); ++t) {
                HWND page = CreateWindowExW(WS_EX_CONTROLPARENT, kSurfaceClass, L"", WS_CHILD | WS_CLIPCHILDREN,
                                            display.left, display.top, display.right - display.left,
                                            display.bottom - display.top, n.hwnd, nullptr, moduleInstance(), this);
                SetPropW(page, L"MarvoscopeHost", this);
                pages_.push_back(page);
                pageOf_[page] = i;
            }
            break;
        }
        case ControlKind::CommandButton:
            n.hwnd = makeChild(L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, i, caption);
            break;
        case ControlKind::CheckBox:
            n.hwnd = makeChild(L"BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, 0, i, caption);
            break;
        case ControlKind::TextBox:
            n.hwnd = makeChild(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, i, caption);
            break;
        case ControlKind::HScrollBar:
            n.hwnd = makeChild(L"SCROLLBAR", WS_TABSTOP | SBS_HORZ, 0, i);
            break;
        case ControlKind::VScrollBar:
            n.hwnd = makeChild(L"SCROLLBAR", WS_TABSTOP | SBS_VERT, 0, i);
            break;
        case ControlKind::Frame:
        case ControlKind::PictureBox:
            n.hwnd = makeChild(kSurfaceClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, i);
            break;
        case ControlKind::Label:
        case ControlKind::Shape:
        case ControlKind::Line:
            break;
        }
    }

    void fitCaption(size_t i, const std::wstring& caption) {
        const bool button = item(i).kind == ControlKind::CommandButton;
        const RECT r = rectOf(i);
        // A button's borders and focus frame take a few pixels on each side.
        const int width = r.right - r.left - (button ? 2 * GetSystemMetrics(SM_CXEDGE) + 6 : 0);
        fonts_.fit(i, caption, width, r.bottom - r.top, !button);
    }

    // Keyboard navigation follows the window order, so siblings are ordered by tab index. The
    // tab strip's pages are its own child windows, so nothing needs to lie beneath it.
    void orderTabStops() {
        // Rows outside the tab order keep their design order after those in it.
        std::vector<size_t> rank(nodes_.size(), nodes_.size());
        for (size_t k = 0; k < keyboardOrder_.size(); ++k) rank[keyboardOrder_[k]] = k;
        std::map<HWND, std::vector<size_t>> siblings;
        for (size_t i = 0; i < nodes_.size(); ++i)
            if (nodes_[i].hwnd) siblings[nodes_[i].surface].push_back(i);
        for (auto& [parent, list] : siblings) {
            std::stable_sort(list.begin(), list.end(), [&](size_t a, size_t b) { return rank[a] < rank[b]; });
            HWND after = HWND_TOP;
            for (size_t i : list) {
                SetWindowPos(nodes_[i].hwnd, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                after = nodes_[i].hwnd;
            }
        }
    }

    void bindModel(size_t i) {
        Control* c = item(i).control;
        if (!c) return;
        refresh(i);
        c->observer = [this, i](Control&) { refresh(i); };
    }

    // Brings a row's native side up to date with its model.
    void refresh(size_t i) {
        const LayoutItem& it = item(i);
        Node& n = nodes_[i];
        Control* c = it.control;
        if (!c) return;
        if (dialog::isWindowless(it.kind)) {
            RECT r = rectOf(i);
            InflateRect(&r, 4, 4);
            if (n.surface) InvalidateRect(n.surface, &r, FALSE);
            return;
        }
        if (!n.hwnd) return;
        const bool wasSyncing = syncing_;
        syncing_ = true;
        switch (it.kind) {
        case ControlKind::TabStrip: {
            auto* strip = static_cast<TabStrip*>(c);
            SendMessageW(n.hwnd, TCM_SETCURSEL, static_cast<WPARAM>(strip->Tab()), 0);
            for (size_t p = 0; p < pages_.size(); ++p)
                ShowWindow(pages_[p], static_cast<int>(p) == strip->Tab() ? SW_SHOW : SW_HIDE);
            break;
        }
        case ControlKind::CommandButton:
            setText(n.hwnd, static_cast<CommandButton*>(c)->Caption());
            break;
        case ControlKind::CheckBox: {
            auto* box = static_cast<CheckBox*>(c);
            setText(n.hwnd, box->Caption());
            SendMessageW(n.hwnd, BM_SETCHECK, box->Value() ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        }
        case ControlKind::TextBox: {
            auto* box = static_cast<TextBox*>(c);
            SendMessageW(n.hwnd, EM_SETLIMITTEXT, box->MaxLength > 0 ? box->MaxLength : 0, 0);
            setText(n.hwnd, box->Text());
            break;
        }
        case ControlKind::HScrollBar:
        case ControlKind::VScrollBar: {
            auto* bar = static_cast<ScrollBar*>(c);
            SCROLLINFO si{};
            si.cbSize = sizeof(si);
            si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
            si.nMin = 0;
            si.nMax = scrollSpan(bar->Min(), bar->Max());
            si.nPos = scrollPosition(bar->Min(), bar->Max(), bar->Value());
            SetScrollInfo(n.hwnd, SB_CTL, &si, TRUE);
            break;
        }
        case ControlKind::Frame:
        case ControlKind::PictureBox:
            InvalidateRect(n.hwnd, nullptr, TRUE);
            break;
        default:
            break;
        }
        const bool visible = c->Visible();
        if ((IsWindowVisible(n.hwnd) || (GetWindowLongW(n.hwnd, GWL_STYLE) & WS_VISIBLE)) != visible)
            ShowWindow(n.hwnd, visible ? SW_SHOWNA : SW_HIDE);
        EnableWindow(n.hwnd, c->Enabled());
        syncing_ = wasSyncing;
    }

    static void setText(HWND h, const std::string& utf8) {
        const std::wstring want = widen(utf8);
        const int len = GetWindowTextLengthW(h);
        std::wstring have(static_cast<size_t>(len) + 1, L'\0');
        GetWindowTextW(h, have.data(), len + 1);
        have.resize(static_cast<size_t>(len));
        if (have != want) SetWindowTextW(h, want.c_str());
    }

    static std::string textOf(HWND h) {
        const int len = GetWindowTextLengthW(h);
        std::wstring text(static_cast<size_t>(len) + 1, L'\0');
        GetWindowTextW(h, text.data(), len + 1);
        text.resize(static_cast<size_t>(len));
        return narrow(text);
    }

    bool takesTab(size_t i) const {
        HWND h = nodes_[i].hwnd;
        return h && (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(h);
    }

    void focusFirst() {
        for (size_t i : keyboardOrder_)
            if (takesTab(i)) {
                SetFocus(nodes_[i].hwnd);
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
            if (takesTab(i) && IsWindowEnabled(nodes_[i].hwnd)) order.push_back(i);
        if (order.empty()) return true;
        HWND focus = GetFocus();
        size_t at = order.size();
        for (size_t k = 0; k < order.size(); ++k) {
            HWND h = nodes_[order[k]].hwnd;
            if (focus && (focus == h || IsChild(h, focus))) at = k;
        }
        const bool back = GetKeyState(VK_SHIFT) < 0;
        size_t next = 0;
        if (at == order.size()) next = back ? order.size() - 1 : 0;
        else next = back ? (at + order.size() - 1) % order.size() : (at + 1) % order.size();
        HWND target = nodes_[order[next]].hwnd;
        SetFocus(target);
        if (item(order[next]).kind == ControlKind::TextBox) SendMessageW(target, EM_SETSEL, 0, -1);
        return true;
    }

    COLORREF surfaceColor(HWND surface) const {
        if (surface == hwnd_) return toColorRef(layout_.backColor, COLOR_BTNFACE);
        if (auto p = pageOf_.find(surface); p != pageOf_.end()) return toColorRef(item(p->second).backColor, COLOR_BTNFACE);
        if (auto n = byHwnd_.find(surface); n != byHwnd_.end()) {
            const LayoutItem& it = item(n->second);
            if (it.kind == ControlKind::PictureBox && it.control)
                return toColorRef(static_cast<PictureBox*>(it.control)->BackColor(), COLOR_BTNFACE);
            if (!it.container.empty()) {
                const int c = indexOf(it.container);
                if (c >= 0) return surfaceColor(nodes_[static_cast<size_t>(c)].hwnd ? nodes_[static_cast<size_t>(c)].surface : hwnd_);
            }
        }
        return GetSysColor(COLOR_BTNFACE);
    }

    void paintSurface(HWND surface) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(surface, &ps);
        RECT client{};
        GetClientRect(surface, &client);
        HBRUSH back = CreateSolidBrush(surfaceColor(surface));
        FillRect(dc, &client, back);
        DeleteObject(back);
        if (auto n = byHwnd_.find(surface); n != byHwnd_.end() && item(n->second).kind == ControlKind::Frame)
            paintFrame(dc, n->second, client);
        SetBkMode(dc, TRANSPARENT);
        for (size_t i = 0; i < nodes_.size(); ++i) {
            if (nodes_[i].surface != surface || !dialog::isWindowless(item(i).kind)) continue;
            const Control* c = item(i).control;
            if (c && !c->Visible()) continue;
            paintGraphical(dc, i);
        }
        EndPaint(surface, &ps);
    }

    void paintFrame(HDC dc, size_t i, const RECT& client) {
        const auto* frame = static_cast<const Frame*>(item(i).control);
        const std::wstring caption = frame ? widen(frame->Caption()) : std::wstring();
        HGDIOBJ old = SelectObject(dc, fonts_.of(i));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        RECT box = client;
        box.top += tm.tmHeight / 2;
        DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
        if (!caption.empty()) {
            RECT text{6, 0, 6 + textWidth(dc, caption) + 4, tm.tmHeight};
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, surfaceColor(nodes_[i].hwnd));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        SelectObject(dc, old);
    }

    void paintGraphical(HDC dc, size_t i) {
        const LayoutItem& it = item(i);
        const RECT r = rectOf(i);
        switch (it.kind) {
        case ControlKind::Label: {
            const auto* label = static_cast<const Label*>(it.control);
            const std::wstring text = widen(label ? label->Caption() : it.caption);
            HGDIOBJ old = SelectObject(dc, fonts_.of(i));
            SetTextColor(dc, toColorRef(label ? label->ForeColor() : it.foreColor, COLOR_BTNTEXT));
            TEXTMETRICW tm{};
            GetTextMetricsW(dc, &tm);
            const auto measure = [dc](const std::wstring& s) { return textWidth(dc, s); };
            // Clipped to the label, as a label never draws outside itself.
            const int saved = SaveDC(dc);
            IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
            int y = r.top;
            for (const auto& line : wrapText(text, r.right - r.left, measure)) {
                if (y >= r.bottom) break;
                TextOutW(dc, r.left, y, line.c_str(), static_cast<int>(line.size()));
                y += tm.tmHeight;
            }
            RestoreDC(dc, saved);
            SelectObject(dc, old);
            break;
        }
        case ControlKind::Shape: {
            const auto* shape = static_cast<const Shape*>(it.control);
            HBRUSH fill = CreateSolidBrush(toColorRef(shape ? shape->FillColor() : it.backColor, COLOR_WINDOW));
            HPEN pen = CreatePen(PS_SOLID, 1, toColorRef(shape ? shape->BorderColor() : it.borderColor, COLOR_WINDOWTEXT));
            HGDIOBJ oldBrush = SelectObject(dc, fill), oldPen = SelectObject(dc, pen);
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
            SelectObject(dc, oldBrush);
            SelectObject(dc, oldPen);
            DeleteObject(fill);
            DeleteObject(pen);
            break;
        }
        case ControlKind::Line: {
            const auto* line = static_cast<const Line*>(it.control);
            const int width = std::max(1, line ? line->BorderWidth : it.borderWidth);
            HPEN pen = CreatePen(PS_SOLID, width, toColorRef(line ? line->BorderColor() : it.borderColor, COLOR_WINDOWTEXT));
            HGDIOBJ old = SelectObject(dc, pen);
            MoveToEx(dc, r.left, r.top, nullptr);
            LineTo(dc, r.right, r.bottom);
            SelectObject(dc, old);
            DeleteObject(pen);
            break;
        }
        default:
            break;
        }
    }

    // The topmost visible label of a surface under a point, or -1.
    int labelAt(HWND surface, POINT p) const {
        for (size_t k = nodes_.size(); k-- > 0;) {
            if (nodes_[k].surface != surface || item(k).kind != ControlKind::Label) continue;
            const Control* c = item(k).control;
            if (!c || !c->Visible()) continue;
            const RECT r = rectOf(k);
            if (PtInRect(&r, p)) return static_cast<int>(k);
        }
        return -1;
    }

    LRESULT labelMouse(HWND surface, UINT msg, WPARAM wp, LPARAM lp) {
        const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN || msg == WM_MBUTTONDOWN ||
                          msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDBLCLK || msg == WM_MBUTTONDBLCLK;
        int target = down ? labelAt(surface, p) : pressedLabel_;
        if (down) {
            pressedLabel_ = target;
            if (target >= 0) SetCapture(surface);
        } else {
            pressedLabel_ = -1;
            if (GetCapture() == surface) ReleaseCapture();
        }
        if (target < 0) return DefWindowProcW(surface, msg, wp, lp);
        auto* label = static_cast<Label*>(item(static_cast<size_t>(target)).control);
        const RECT r = rectOf(static_cast<size_t>(target));
        // May close the dialog: nothing follows.
        input::labelButton(*label, platform_, down, buttonOf(msg), modifiers(), p.x - r.left, p.y - r.top);
        return 0;
    }

    void onCommand(WPARAM wp, LPARAM lp) {
        const int id = LOWORD(wp);
        const int code = HIWORD(wp);
        if (id < kFirstId || !lp) return;  // Enter and Escape reach no button on their own
        const size_t i = static_cast<size_t>(id - kFirstId);
        if (i >= nodes_.size() || reinterpret_cast<HWND>(lp) != nodes_[i].hwnd) return;
        Control* c = item(i).control;
        if (!c) return;
        switch (item(i).kind) {
        case ControlKind::CommandButton:
            if (code == BN_CLICKED) static_cast<CommandButton*>(c)->press();
            break;
        case ControlKind::CheckBox:
            if (code == BN_CLICKED)
                static_cast<CheckBox*>(c)->setValue(SendMessageW(nodes_[i].hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0);
            break;
        case ControlKind::TextBox:
            if (code == EN_CHANGE && !syncing_) static_cast<TextBox*>(c)->setText(textOf(nodes_[i].hwnd));
            break;
        default:
            break;
        }
    }

    void onScroll(WPARAM wp, LPARAM lp) {
        auto found = byHwnd_.find(reinterpret_cast<HWND>(lp));
        if (!lp || found == byHwnd_.end()) return;
        auto* bar = static_cast<ScrollBar*>(item(found->second).control);
        if (!bar) return;
        const int next = scrollTarget(bar->Min(), bar->Max(), bar->Value(), bar->SmallChange(), bar->LargeChange(),
                                      LOWORD(wp), static_cast<int>(HIWORD(wp)));
        if (next != bar->Value()) bar->setValue(next);
        else refresh(found->second);  // a drag that ends where it began still puts the thumb back
    }

    void onNotify(LPARAM lp) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (!header || header->code != static_cast<UINT>(TCN_SELCHANGE)) return;
        auto found = byHwnd_.find(header->hwndFrom);
        if (found == byHwnd_.end()) return;
        auto* strip = static_cast<TabStrip*>(item(found->second).control);
        const int tab = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (strip && tab >= 0 && tab < strip->Tabs()) strip->setTab(tab);
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
            onCommand(wp, lp);
            return 0;
        case WM_HSCROLL:
        case WM_VSCROLL:
            onScroll(wp, lp);
            return 0;
        case WM_NOTIFY:
            onNotify(lp);
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
                const int k = labelAt(h, p);
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
            return labelMouse(h, msg, wp, lp);
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
    std::vector<Node> nodes_;
    std::vector<HWND> pages_;
    std::map<HWND, size_t> pageOf_;  // page window -> its tab strip row
    std::map<HWND, size_t> byHwnd_;
    POINT pageOrigin_{0, 0};
    HWND hwnd_ = nullptr;
    HCURSOR hand_ = nullptr;
    HBRUSH faceBrush_ = nullptr;
    dialog::Scale scale_;
    std::vector<size_t> keyboardOrder_;  // rows in the design's tab order
    bool syncing_ = false;
    int pressedLabel_ = -1;
    HWND lastFocus_ = nullptr;
};

}  // namespace

std::unique_ptr<WindowHost> makeDialogHost(Form& form, WinPlatform& platform) {
    if (!form.layout()) return nullptr;
    return std::make_unique<DialogHost>(form, platform);
}

}  // namespace mv::win32
