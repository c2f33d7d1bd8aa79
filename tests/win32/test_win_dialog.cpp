// The dialog host: native controls built from a design table and kept in step with the models.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>

#include "platform/ui/controls/commandbutton.h"
#include "platform/ui/controls/frame.h"
#include "platform/ui/controls/label.h"
#include "platform/ui/controls/scrollbar.h"
#include "platform/ui/controls/tabstrip.h"
#include "platform/ui/controls/textbox.h"
#include "platform/ui/layout.h"
#include "win_test_forms.h"

using namespace mv;

namespace {

// A row of the setup dialog's kind, on a tab page when `page` >= 0.
LayoutItem row(ControlKind kind, Control& c, const std::string& container, int page, long l, long t, long w, long h,
               int tab, const std::string& caption = {}) {
    LayoutItem i = layoutRow(kind, c, container, l, t, w, h, tab, caption);
    i.page = page;
    return i;
}

class DialogForm : public Form {
public:
    explicit DialogForm(Platform& p) : Form(p, "MarvoscopeTestDialog " + std::to_string(GetCurrentProcessId())) {
        setDesign(BorderStyle::FixedDialog, ScaleMode::Twips, static_cast<int32_t>(0x8000000F), 0, 0, 4000, 3000);
        layout_.clientWidth = 3300;
        layout_.clientHeight = 2550;
        layout_.backColor = static_cast<int32_t>(0x8000000F);
        LayoutItem strip = row(ControlKind::TabStrip, Tabs, "", -1, 0, 0, 3300, 2000, 2);
        strip.tabs = {"One", "Two"};
        strip.tabHeight = 295;
        layout_.items.push_back(strip);
        layout_.items.push_back(row(ControlKind::CommandButton, Ok, "", -1, 90, 2100, 1200, 315, 0, "Ok"));
        LayoutItem name = row(ControlKind::TextBox, Name, "Tabs", 0, 300, 600, 1500, 300, 3, "15");
        name.maxLength = 2;
        layout_.items.push_back(name);
        LayoutItem bar = row(ControlKind::HScrollBar, Bar, "Tabs", 0, 300, 1000, 1500, 200, 4);
        bar.scroll = {0, 255, 10, 20, 0};
        layout_.items.push_back(bar);
        LayoutItem link = row(ControlKind::Label, Link, "Tabs", 0, 300, 1350, 1500, 300, -1, "example.org");
        link.flags = kHandCursor;
        layout_.items.push_back(link);
        layout_.items.push_back(row(ControlKind::Frame, Group, "Tabs", 1, 150, 450, 2400, 1200, 5, "Group"));
        layout_.items.push_back(row(ControlKind::TextBox, Inner, "Group", -1, 150, 300, 1200, 300, 6, "inner"));
        applyDesign(layout_);
    }
    const Layout* layout() const override { return &layout_; }

    TabStrip Tabs{"Tabs"};
    CommandButton Ok{"Ok"};
    TextBox Name{"Name"};
    ScrollBar Bar{"Bar", Orientation::Horizontal};
    Label Link{"Link"};
    Frame Group{"Group"};
    TextBox Inner{"Inner"};

private:
    Layout layout_;
};

std::wstring textOf(HWND h) {
    wchar_t buffer[256] = {};
    GetWindowTextW(h, buffer, 256);
    return buffer;
}

std::wstring classOf(HWND h) {
    wchar_t buffer[64] = {};
    GetClassNameW(h, buffer, 64);
    return buffer;
}

// The first descendant of a window with this class (case-insensitive) and, if given, this text.
HWND child(HWND parent, const std::wstring& cls, const std::wstring& text = {}) {
    struct Search {
        std::wstring cls, text;
        HWND found = nullptr;
    } search{cls, text};
    EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (lstrcmpiW(classOf(h).c_str(), s->cls.c_str()) == 0 && (s->text.empty() || textOf(h) == s->text)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class WinDialog : public ::testing::Test {
protected:
    void SetUp() override {
        form.Show();
        dialog = test::windowTitled(form.Caption());
        if (!dialog) GTEST_SKIP() << "no window system to create windows on";
        tabs = child(dialog, WC_TABCONTROLW);
        name = child(dialog, L"Edit", L"15");
        inner = child(dialog, L"Edit", L"inner");
        bar = child(dialog, L"ScrollBar");
        ok = child(dialog, L"Button", L"Ok");
        ASSERT_TRUE(tabs && name && inner && bar && ok);
    }

    // A design length in pixels at the screen's scale, as the host places controls.
    LONG px(long twips) { return static_cast<LONG>(std::lround(twips / platform.twipsPerPixelX())); }
    LONG py(long twips) { return static_cast<LONG>(std::lround(twips / platform.twipsPerPixelY())); }
    const LayoutItem& design(const char* name) { return *form.layout()->find(name); }

    // Where a control lies, in pixels from the tab strip's top-left corner.
    POINT fromTabs(HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        POINT p{r.left, r.top};
        ScreenToClient(tabs, &p);
        return p;
    }

    test::TestWinPlatform platform;
    DialogForm form{platform};
    HWND dialog = nullptr, tabs = nullptr, name = nullptr, inner = nullptr, bar = nullptr, ok = nullptr;
};

}  // namespace

TEST_F(WinDialog, ControlsLieWhereTheDesignPutsThemRelativeToTheirContainer) {
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, px(form.layout()->clientWidth));
    EXPECT_EQ(client.bottom, py(form.layout()->clientHeight));
    const POINT n = fromTabs(name);
    EXPECT_EQ(n.x, px(design("Name").left));
    EXPECT_EQ(n.y, py(design("Name").top));
    // Inside the frame, which itself lies on the tab strip.
    const POINT i = fromTabs(inner);
    EXPECT_EQ(i.x, px(design("Group").left) + px(design("Inner").left));
    EXPECT_EQ(i.y, py(design("Group").top) + py(design("Inner").top));
    EXPECT_EQ(SendMessageW(name, EM_GETLIMITTEXT, 0, 0), design("Name").maxLength);
}

TEST_F(WinDialog, OnlyTheSelectedTabsControlsShowAndTheUserCanSwitch) {
    EXPECT_TRUE(IsWindowVisible(name));
    EXPECT_FALSE(IsWindowVisible(inner));
    form.Tabs.setTab(1);
    EXPECT_FALSE(IsWindowVisible(name));
    EXPECT_TRUE(IsWindowVisible(inner));
    EXPECT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);

    int clicks = 0;
    form.Tabs.onClick = [&] { ++clicks; };
    SendMessageW(tabs, TCM_SETCURSEL, 0, 0);
    NMHDR note{tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, note.idFrom, reinterpret_cast<LPARAM>(&note));
    EXPECT_EQ(form.Tabs.Tab(), 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(IsWindowVisible(name));
}

TEST_F(WinDialog, TextTravelsBothWaysAndAChangeHandlerMayRewriteIt) {
    int changes = 0;
    form.Name.onChange = [&] {
        ++changes;
        if (form.Name.Text() == "99") form.Name.setText("30");  // a range rule
    };
    SetWindowTextW(name, L"42");
    EXPECT_EQ(form.Name.Text(), "42");
    EXPECT_EQ(changes, 1);
    form.Name.setText("7");
    EXPECT_EQ(textOf(name), L"7");
    SetWindowTextW(name, L"99");
    EXPECT_EQ(form.Name.Text(), "30");
    EXPECT_EQ(textOf(name), L"30");
    form.Inner.setText("Кошка");
    EXPECT_EQ(textOf(inner), L"Кошка");
}

TEST_F(WinDialog, ButtonsAnswerClicksButEnterAndEscapeReachNoButton) {
    int presses = 0;
    form.Ok.onClick = [&] { ++presses; };
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(presses, 0);
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(presses, 1);
    EXPECT_EQ(GetFocus(), ok);  // lowest tab index takes the focus when the dialog opens
}

TEST_F(WinDialog, ScrollRequestsMoveTheModelAndTheModelMovesTheThumb) {
    int changes = 0;
    form.Bar.onChange = [&] { ++changes; };
    HWND page = GetParent(bar);
    SendMessageW(page, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(form.Bar.Value(), 10);
    SendMessageW(page, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(form.Bar.Value(), 30);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(form.Bar.Value(), 30);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 200), reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(form.Bar.Value(), 200);
    EXPECT_EQ(changes, 3);
    form.Bar.setValue(100);
    EXPECT_EQ(GetScrollPos(bar, SB_CTL), 100);
}

TEST_F(WinDialog, LabelsTakeAnyMouseButtonInTwipsAndMayCloseTheDialog) {
    std::vector<std::string> seen;
    form.Link.onMouseDown = [&](int16_t b, int16_t, float x, float y) {
        seen.push_back("down " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + "," +
                       std::to_string(static_cast<int>(y)));
    };
    form.Link.onMouseUp = [&](int16_t b, int16_t, float, float) { seen.push_back("up " + std::to_string(b)); };
    HWND page = GetParent(name);
    // A press 3 pixels right of and 2 below the label's corner; the page starts at the strip's
    // display area.
    POINT p{px(design("Link").left) + 3, py(design("Link").top) + 2};
    MapWindowPoints(tabs, page, &p, 1);
    SendMessageW(page, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    SendMessageW(page, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "down 2 " + std::to_string(static_cast<int>(3 * platform.twipsPerPixelX())) + "," +
                           std::to_string(static_cast<int>(2 * platform.twipsPerPixelY())));
    EXPECT_EQ(seen[1], "up 2");

    form.Link.onMouseDown = [&](int16_t, int16_t, float, float) { form.Unload(); };
    SendMessageW(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(IsWindow(dialog));
    form.Name.setText("after");  // the models outlive the windows that showed them
    EXPECT_EQ(form.Name.Text(), "after");
}

TEST_F(WinDialog, TheCloseBoxUnloadsTheForm) {
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_FALSE(form.Loaded());
    EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(WinDialog, TabWalksTheDesignOrderThroughTheShownPageAndWraps) {
    ASSERT_EQ(GetFocus(), ok);
    auto tab = [&] {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        platform.doEvents();
        return GetFocus();
    };
    EXPECT_EQ(tab(), tabs);
    EXPECT_EQ(tab(), name);  // into the page, past the tab strip's own window nesting
    EXPECT_EQ(tab(), bar);
    EXPECT_EQ(tab(), ok);  // the other page's controls are not shown, so they are skipped
    form.Tabs.setTab(1);
    EXPECT_EQ(tab(), tabs);
    EXPECT_EQ(tab(), inner);
}

TEST_F(WinDialog, TheFocusedControlGetsTheFocusBackWhenTheDialogIsActivatedAgain) {
    SetFocus(name);
    SendMessageW(dialog, WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(ok);
    SendMessageW(dialog, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(GetFocus(), name);
}
