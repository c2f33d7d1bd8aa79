#include <algorithm>
#include <cmath>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

#include "dialog_fixture.h"

using namespace mv;
using mv::test::QtDialogTest;

namespace {
// Every widget the Tab key reaches in one round, starting from the focus.
std::vector<QWidget*> focusCycle(QWidget* window) {
    std::vector<QWidget*> seen;
    QWidget* start = QApplication::focusWidget();
    QWidget* at = start;
    for (int i = 0; i < 100; ++i) {
        at = at->nextInFocusChain();
        while (at != start && (!(at->focusPolicy() & Qt::TabFocus) || !at->isVisibleTo(window) || !at->isEnabled()))
            at = at->nextInFocusChain();
        if (at == start) break;
        seen.push_back(at);
    }
    return seen;
}
// Whether a row's control is on the screen while this tab is selected.
bool shownOn(const Layout& layout, const LayoutItem& row, int tab) {
    const int page = layout.pageOf(row);
    return (page < 0 || page == tab) && !(row.flags & kHidden);
}
// The widget the Tab key stops at for a row: its own, or a part of it that is no other row's
// (the tab strip's row of tabs), or none.
QWidget* focusTarget(QWidget* window, const Layout& layout, const LayoutItem& row) {
    auto* widget = window->findChild<QWidget*>(QString::fromStdString(row.name));
    if (!widget) return nullptr;
    if (widget->focusPolicy() & Qt::TabFocus) return widget;
    for (auto* part : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if ((part->focusPolicy() & Qt::TabFocus) && !layout.find(part->objectName().toStdString())) return part;
    return nullptr;
}
}  // namespace

TEST_F(QtDialogTest, OpensOnTheFileTabWithSaveAndCloseFocused) {
    EXPECT_EQ(QApplication::focusWidget(), w("Command1"));
    EXPECT_EQ(w<QTabBar>("SSTab1.tabs")->currentIndex(), 0);
    const Layout& layout = *dlg.layout();
    for (const auto& row : layout.items)
        EXPECT_EQ(w(row.name.c_str())->isVisibleTo(window), shownOn(layout, row, 0)) << row.name;
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    // The design's size at the platform's scale.
    EXPECT_EQ(window->size(), QSize(std::lround(layout.clientWidth / platform.twipsPerPixelX()),
                                    std::lround(layout.clientHeight / platform.twipsPerPixelY())));
    EXPECT_EQ(window->windowTitle(), frmSetup2::kCaption);
}

TEST_F(QtDialogTest, SelectingATabShowsOnlyItsControlsAndTabWalksThemInDesignOrder) {
    const Layout& layout = *dlg.layout();
    auto* tabs = w<QTabBar>("SSTab1.tabs");
    for (int tab = tabs->count() - 1; tab >= 0; --tab) {
        tabs->setCurrentIndex(tab);
        QApplication::processEvents();
        EXPECT_EQ(dlg.SSTab1.Tab(), tab);
        for (const auto& row : layout.items) {
            EXPECT_EQ(w(row.name.c_str())->isVisibleTo(window), shownOn(layout, row, tab))
                << row.name << " on tab " << tab;
        }

        // From "Save settings, Close" the Tab key visits every shown control that takes the focus,
        // once, in the design's order (the delay group too, though it lies below its frame's edge).
        std::vector<std::pair<int, QWidget*>> byIndex;
        for (const auto& row : layout.items) {
            QWidget* target =
                row.tabIndex >= 0 && shownOn(layout, row, tab) ? focusTarget(window, layout, row) : nullptr;
            if (target && target->isEnabled()) byIndex.emplace_back(row.tabIndex, target);
        }
        std::sort(byIndex.begin(), byIndex.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        ASSERT_FALSE(byIndex.empty());
        ASSERT_EQ(byIndex.front().second, w("Command1"));
        std::vector<std::string> expected, walked;
        for (size_t i = 1; i < byIndex.size(); ++i) expected.push_back(byIndex[i].second->objectName().toStdString());
        w("Command1")->setFocus();
        QApplication::processEvents();
        for (QWidget* at : focusCycle(window)) walked.push_back(at->objectName().toStdString());
        EXPECT_EQ(walked, expected) << "tab " << tab;
    }
    // The model selects the tab on the screen too.
    dlg.SSTab1.setTab(1);
    QApplication::processEvents();
    EXPECT_EQ(tabs->currentIndex(), 1);
}

TEST_F(QtDialogTest, EscapeAndEnterDoNothingAndSpacePressesTheFocusedButton) {
    int saves = 0, closes = 0;
    dlg.Command1.onClick = [&] { ++saves; };
    dlg.Command6.onClick = [&] { ++closes; };
    for (auto* b : window->findChildren<QPushButton*>()) {
        EXPECT_FALSE(b->isDefault()) << b->objectName().toStdString();
        EXPECT_FALSE(b->autoDefault()) << b->objectName().toStdString();
    }
    QWidget* focus = QApplication::focusWidget();
    key(focus, Qt::Key_Escape);
    key(focus, Qt::Key_Return, "\r");
    key(focus, Qt::Key_Enter, "\r");
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(dlg.Loaded());
    EXPECT_EQ(saves, 0);
    key(focus, Qt::Key_Space, " ");
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(closes, 0);
}

TEST_F(QtDialogTest, SensitivityFieldTakesTwoTypedCharactersAndKeepsItsRange) {
    dlg.SSTab1.setTab(1);
    auto* field = w<QLineEdit>("Sensit");
    field->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(field->text(), "1");  // a fresh user's 0 raised to 1
    field->selectAll();
    type("4");
    EXPECT_EQ(field->text(), "4");
    type("5");
    EXPECT_EQ(field->text(), "30");
    EXPECT_EQ(dlg.Sensit.Text(), "30");

    field->selectAll();
    type("12");
    type("3");
    EXPECT_EQ(field->text(), "12");
    EXPECT_EQ(dlg.Sensit.Text(), "12");

    key(field, Qt::Key_Backspace);
    key(field, Qt::Key_Backspace);
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    EXPECT_EQ(field->text(), "1");

    // Code is not held to the typing limit.
    dlg.Sensit.setText("1.0");
    EXPECT_EQ(field->text(), "1.0");
}

TEST_F(QtDialogTest, ColourSlidersStepByTenAndTwentyAndFollowADragOnlyOnRelease) {
    dlg.SSTab1.setTab(2);
    auto* red = w<QScrollBar>("HScroll1");
    red->setFocus();
    QApplication::processEvents();
    const ScrollDesign& design = dlg.layout()->find("HScroll1")->scroll;
    EXPECT_EQ(red->minimum(), design.min);
    EXPECT_EQ(red->maximum(), design.max);
    key(red, Qt::Key_Right);
    EXPECT_EQ(dlg.HScroll1.Value(), 10);
    EXPECT_EQ(app.bgColor, 10);
    red->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll1.Value(), 30);
    EXPECT_EQ(dlg.Picture1.BackColor(), 30);

    auto* blue = w<QScrollBar>("HScroll3");
    blue->setSliderDown(true);
    blue->setSliderPosition(200);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll3.Value(), 0);
    EXPECT_EQ(dlg.Picture1.BackColor(), 30);
    blue->setSliderDown(false);
    QApplication::processEvents();
    EXPECT_EQ(dlg.HScroll3.Value(), 200);
    EXPECT_EQ(app.bgColor, 30 + 200 * 65536);
    EXPECT_EQ(dlg.Label2.Caption(), std::to_string(30 + 200 * 65536));

    // The swatch paints the mixed colour.
    const QImage shot = w("Picture1")->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(30, 0, 200));
}

TEST_F(QtDialogTest, ClicksReachEveryVisibleControlThroughTheLabelsAroundIt) {
    // The "Browse" button, for one, sits inside the width of the label beside it.
    const Layout& layout = *dlg.layout();
    auto takesClicks = [](const LayoutItem& row) {
        switch (row.kind) {
            case ControlKind::CommandButton:
            case ControlKind::TextBox:
            case ControlKind::HScrollBar:
            case ControlKind::VScrollBar:
            case ControlKind::CheckBox:
            case ControlKind::PictureBox:
                return true;
            default:
                return (row.flags & kHandCursor) != 0;
        }
    };
    int checked = 0;
    for (int tab = 0; tab < dlg.SSTab1.Tabs(); ++tab) {
        dlg.SSTab1.setTab(tab);
        QApplication::processEvents();
        for (const auto& row : layout.items) {
            if (!takesClicks(row) || !shownOn(layout, row, tab)) continue;
            QWidget* target = w(row.name.c_str());
            const QRect seen = mv::test::seenPart(target, window);
            if (seen.isEmpty()) continue;  // beyond its container's edge: nobody can click it
            QWidget* hit = window->childAt(seen.center());
            EXPECT_TRUE(hit == target || target->isAncestorOf(hit))
                << row.name << " is covered by " << (hit ? hit->objectName().toStdString() : "nothing");
            ++checked;
        }
    }
    EXPECT_GE(checked, 10);
}

namespace {
// The dialog with its unload recorded and refused, so the test process lives on.
class RecordingSetup : public frmSetup2 {
public:
    using frmSetup2::frmSetup2;
    void Form_Unload(int16_t& cancel) override {
        ++unloads;
        cancel = 1;
    }
    int unloads = 0;
};
}  // namespace

TEST(QtDialogClose, TheCloseBoxUnloadsTheFormAndSavesNothing) {
    mv::test::qtApp();
    mv::test::QtDialogPlatform platform;
    App app(platform);
    RecordingSetup dialog(app);
    dialog.Show();
    QWidget* window = qt::dialogWidget(dialog.host());
    ASSERT_NE(window, nullptr);
    window->close();
    QApplication::processEvents();
    EXPECT_EQ(dialog.unloads, 1);
    EXPECT_TRUE(dialog.Loaded());
    EXPECT_TRUE(platform.store.saveOrder.empty());
}
