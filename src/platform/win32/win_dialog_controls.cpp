#include "platform/win32/win_dialog_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/ui/controls/checkbox.h"
#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/controls/picturebox.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/tabstrip.h"
#include "platform/ui/controls/textbox.h"
#include "platform/ui/scroll_map.h"
#include "platform/win32/win_colors.h"
#include "platform/win32/win_common.h"
#include "platform/win32/win_dialog_fonts.h"
#include "platform/win32/win_dialog_windowless.h"
#include "platform/win32/win_text.h"

namespace mv::win32 {

RECT ControlNode::rect() const {
    const dialog::PixelRect p = dialog::rectOf(item_, site_.units());
    return RECT{p.left + place_.dx, p.top + place_.dy, p.left + place_.dx + p.width, p.top + place_.dy + p.height};
}

namespace {

void setText(HWND h, const std::string& utf8) {
    const std::wstring want = widen(utf8);
    const int len = GetWindowTextLengthW(h);
    std::wstring have(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(h, have.data(), len + 1);
    have.resize(static_cast<size_t>(len));
    if (have != want) SetWindowTextW(h, want.c_str());
}

std::string textOf(HWND h) {
    const int len = GetWindowTextLengthW(h);
    std::wstring text(static_cast<size_t>(len) + 1, L'\0');
    GetWindowTextW(h, text.data(), len + 1);
    text.resize(static_cast<size_t>(len));
    return narrow(text);
}

// A row with a native window of its own, which follows the model's visibility and enabled state.
class WindowedNode : public ControlNode {
public:
    using ControlNode::ControlNode;

    void refresh() final {
        Control* c = item_.control;
        if (!c || !hwnd_) return;
        const bool wasSyncing = site_.syncing;
        site_.syncing = true;
        update(*c);
        const bool visible = c->Visible();
        if ((IsWindowVisible(hwnd_) || (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE)) != visible)
            ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
        EnableWindow(hwnd_, c->Enabled());
        site_.syncing = wasSyncing;
    }

protected:
    // The kind's own part of a refresh.
    virtual void update(Control& model) = 0;
};

// Its pages are child windows of the strip, one per tab, holding the controls of that tab.
class TabStripNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

    void create() override {
        hwnd_ = site_.makeChild(row_, WC_TABCONTROLW, WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN | TCS_FIXEDWIDTH, 0);
        if (!hwnd_) return;
        for (size_t t = 0; t < item_.tabs.size(); ++t) {
            std::wstring text = widen(item_.tabs[t]);
            TCITEMW tab{};
            tab.mask = TCIF_TEXT;
            tab.pszText = text.data();
            SendMessageW(hwnd_, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&tab));
        }
        // Every tab takes a like share of the one row, as the design asks: sized to their
        // captions, the tabs would run past the strip's edge and the row would scroll. The
        // row starts two pixels in, and the selected tab stands out two pixels each side.
        RECT strip{};
        GetClientRect(hwnd_, &strip);
        const int count = std::max<int>(1, static_cast<int>(item_.tabs.size()));
        const int share = std::max<int>(1, (strip.right - 4) / count);
        int height = item_.tabHeight > 0 ? site_.units().pixelsY(item_.tabHeight) : 0;
        RECT first{};
        if (height == 0 && SendMessageW(hwnd_, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first)))
            height = first.bottom - first.top;
        SendMessageW(hwnd_, TCM_SETMINTABWIDTH, 0, share);
        SendMessageW(hwnd_, TCM_SETITEMSIZE, 0, MAKELPARAM(share, height));
        RECT display{};
        GetClientRect(hwnd_, &display);
        SendMessageW(hwnd_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
        pageOrigin_ = POINT{display.left, display.top};
        for (size_t t = 0; t < item_.tabs.size(); ++t) pages_.push_back(site_.makePage(row_, hwnd_, display));
    }

    // The design places a tab's controls from the strip's corner, the page lies below the tabs.
    Placement placementOf(const LayoutItem& content) const override {
        if (pages_.empty()) return {};
        const int page = std::clamp(content.page < 0 ? 0 : content.page, 0, static_cast<int>(pages_.size()) - 1);
        return {pages_[static_cast<size_t>(page)], -pageOrigin_.x, -pageOrigin_.y};
    }

    void command(UINT msg, WPARAM, LPARAM lp) override {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        if (msg != WM_NOTIFY || header->code != static_cast<UINT>(TCN_SELCHANGE)) return;
        auto* strip = static_cast<TabStrip*>(item_.control);
        const int tab = static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0));
        if (tab >= 0 && tab < strip->Tabs()) strip->setTab(tab);
    }

protected:
    void update(Control& model) override {
        auto& strip = static_cast<TabStrip&>(model);
        SendMessageW(hwnd_, TCM_SETCURSEL, static_cast<WPARAM>(strip.Tab()), 0);
        for (size_t p = 0; p < pages_.size(); ++p)
            ShowWindow(pages_[p], static_cast<int>(p) == strip.Tab() ? SW_SHOW : SW_HIDE);
    }

private:
    std::vector<HWND> pages_;
    POINT pageOrigin_{0, 0};  // the pages' corner in the strip
};

class CommandButtonNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

    void create() override {
        const std::wstring caption = widen(item_.caption);
        const RECT r = rect();
        // Its borders and focus frame take a few pixels on each side.
        const int width = r.right - r.left - (2 * GetSystemMetrics(SM_CXEDGE) + 6);
        site_.fonts().fit(row_, caption, width, r.bottom - r.top, false);
        hwnd_ = site_.makeChild(row_, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, caption);
    }

    void command(UINT msg, WPARAM wp, LPARAM) override {
        if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED) static_cast<CommandButton*>(item_.control)->press();
    }

protected:
    void update(Control& model) override { setText(hwnd_, static_cast<CommandButton&>(model).Caption()); }
};

class CheckBoxNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

    void create() override {
        // An option button leaves its group to the model, which keeps one of them chosen.
        const DWORD look = option() ? BS_RADIOBUTTON : BS_AUTOCHECKBOX;
        hwnd_ = site_.makeChild(row_, L"BUTTON", WS_TABSTOP | look, 0, widen(item_.caption));
    }

    void command(UINT msg, WPARAM wp, LPARAM) override {
        if (msg != WM_COMMAND || HIWORD(wp) != BN_CLICKED) return;
        const bool checked = option() || SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
        static_cast<CheckBox*>(item_.control)->setValue(checked ? 1 : 0);
    }

protected:
    void update(Control& model) override {
        auto& box = static_cast<CheckBox&>(model);
        setText(hwnd_, box.Caption());
        SendMessageW(hwnd_, BM_SETCHECK, box.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    bool option() const { return (item_.flags & kOptionButton) != 0; }
};

class TextBoxNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

    void create() override {
        hwnd_ = site_.makeChild(row_, L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, widen(item_.caption));
    }

    void command(UINT msg, WPARAM wp, LPARAM) override {
        if (msg == WM_COMMAND && HIWORD(wp) == EN_CHANGE && !site_.syncing)
            static_cast<TextBox*>(item_.control)->setText(textOf(hwnd_));
    }

    // As in a dialog, the whole text is selected so that typing replaces it.
    void tabbedInto() override { SendMessageW(hwnd_, EM_SETSEL, 0, -1); }

protected:
    void update(Control& model) override {
        auto& box = static_cast<TextBox&>(model);
        SendMessageW(hwnd_, EM_SETLIMITTEXT, box.MaxLength > 0 ? box.MaxLength : 0, 0);
        setText(hwnd_, box.Text());
    }
};

class ScrollBarNode : public WindowedNode {
public:
    ScrollBarNode(DialogSite& site, const LayoutItem& item, size_t row, bool vertical)
        : WindowedNode(site, item, row), vertical_(vertical) {}

    void create() override {
        hwnd_ = site_.makeChild(row_, L"SCROLLBAR", WS_TABSTOP | (vertical_ ? SBS_VERT : SBS_HORZ), 0);
    }

    void command(UINT msg, WPARAM wp, LPARAM) override {
        if (msg != WM_HSCROLL && msg != WM_VSCROLL) return;
        auto* bar = static_cast<ScrollBar*>(item_.control);
        const int next = scrollTarget(bar->Min(), bar->Max(), bar->Value(), bar->SmallChange(), bar->LargeChange(),
                                      LOWORD(wp), static_cast<int>(HIWORD(wp)));
        if (next != bar->Value()) bar->setValue(next);
        else refresh();  // a drag that ends where it began still puts the thumb back
    }

protected:
    void update(Control& model) override {
        auto& bar = static_cast<ScrollBar&>(model);
        SCROLLINFO si{};
        si.cbSize = sizeof(si);
        si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
        si.nMin = 0;
        si.nMax = scrollSpan(bar.Min(), bar.Max());
        si.nPos = scrollPosition(bar.Min(), bar.Max(), bar.Value());
        SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
    }

private:
    bool vertical_;
};

// A plain surface window that holds other rows and paints the windowless ones among them.
class ContainerNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

    void create() override { hwnd_ = site_.makeChild(row_, kSurfaceClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT); }

protected:
    void update(Control&) override { InvalidateRect(hwnd_, nullptr, TRUE); }
};

// An etched rectangle with its caption set into the top edge.
class FrameNode : public ContainerNode {
public:
    using ContainerNode::ContainerNode;

    void paint(HDC dc) const override {
        const auto* frame = static_cast<const Frame*>(item_.control);
        const std::wstring caption = frame ? widen(frame->Caption()) : std::wstring();
        RECT client{};
        GetClientRect(hwnd_, &client);
        HGDIOBJ old = SelectObject(dc, site_.fonts().of(row_));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        RECT box = client;
        box.top += tm.tmHeight / 2;
        DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);
        if (!caption.empty()) {
            RECT text{6, 0, 6 + textWidth(dc, caption) + 4, tm.tmHeight};
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, site_.surfaceColor(hwnd_));
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        SelectObject(dc, old);
    }
};

class PictureBoxNode : public ContainerNode {
public:
    using ContainerNode::ContainerNode;

    std::optional<COLORREF> backColor() const override {
        const auto* box = static_cast<const PictureBox*>(item_.control);
        if (!box) return std::nullopt;
        return toColorRef(box->BackColor(), COLOR_BTNFACE);
    }
};

// A row of a kind this build does not know: nothing to show.
class EmptyNode : public WindowedNode {
public:
    using WindowedNode::WindowedNode;

protected:
    void update(Control&) override {}
};

}  // namespace

std::unique_ptr<ControlNode> makeControlNode(DialogSite& site, const LayoutItem& item, size_t row) {
    switch (item.kind) {
    case ControlKind::TabStrip: return std::make_unique<TabStripNode>(site, item, row);
    case ControlKind::CommandButton: return std::make_unique<CommandButtonNode>(site, item, row);
    case ControlKind::CheckBox: return std::make_unique<CheckBoxNode>(site, item, row);
    case ControlKind::TextBox: return std::make_unique<TextBoxNode>(site, item, row);
    case ControlKind::HScrollBar: return std::make_unique<ScrollBarNode>(site, item, row, false);
    case ControlKind::VScrollBar: return std::make_unique<ScrollBarNode>(site, item, row, true);
    case ControlKind::Frame: return std::make_unique<FrameNode>(site, item, row);
    case ControlKind::PictureBox: return std::make_unique<PictureBoxNode>(site, item, row);
    case ControlKind::Label: return makeLabelNode(site, item, row);
    case ControlKind::Shape: return makeShapeNode(site, item, row);
    case ControlKind::Line: return makeLineNode(site, item, row);
    }
    return std::make_unique<EmptyNode>(site, item, row);
}

}  // namespace mv::win32
