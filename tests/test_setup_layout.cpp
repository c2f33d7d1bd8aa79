#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/ui/hand_cursor.h"
#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

namespace {
// The rectangles of two rows of the same container share some area.
bool overlap(const LayoutItem& a, const LayoutItem& b) {
    return a.container == b.container && a.left < b.left + b.width && b.left < a.left + a.width &&
           a.top < b.top + b.height && b.top < a.top + a.height;
}
}  // namespace

// Design values reach the models with no change event: a handler that had run would have put
// its own text in (the colour number in Label2, a sensitivity kept in range).
TEST_F(SetupDialogTest, TheModelsHoldTheDesignBeforeAnyChangeHandlerRuns) {
    const Layout* layout = dlg.layout();
    ASSERT_NE(layout, nullptr);
    for (const auto& row : layout->items) {
        ASSERT_NE(row.control, nullptr) << row.name;
        EXPECT_EQ(row.control->Visible(), (row.flags & kHidden) == 0) << row.name;
        if (row.kind == ControlKind::Label) {
            EXPECT_EQ(static_cast<Label*>(row.control)->Caption(), row.caption) << row.name;
        } else if (row.kind == ControlKind::TextBox) {
            EXPECT_EQ(static_cast<TextBox*>(row.control)->Text(), row.caption) << row.name;
            EXPECT_EQ(static_cast<TextBox*>(row.control)->MaxLength, row.maxLength) << row.name;
        } else if (row.kind == ControlKind::HScrollBar || row.kind == ControlKind::VScrollBar) {
            const auto* bar = static_cast<ScrollBar*>(row.control);
            EXPECT_EQ(std::vector<int>({bar->Min(), bar->Max(), bar->SmallChange(), bar->LargeChange(), bar->Value()}),
                      std::vector<int>({row.scroll.min, row.scroll.max, row.scroll.smallChange,
                                        row.scroll.largeChange, row.scroll.value}))
                << row.name;
        }
    }
    EXPECT_EQ(dlg.SSTab1.TabCaptions(), layout->find("SSTab1")->tabs);
    EXPECT_EQ(app.bgColor, 0);
}

TEST_F(SetupDialogTest, EveryRowShowsItsOwnControlOnAPageOfTheStripInOneTabOrder) {
    const Layout& layout = *dlg.layout();
    std::set<std::string> names;
    std::set<int> tabIndexes;
    std::set<const Control*> models;
    std::set<int> pagesUsed;
    const LayoutItem* strip = layout.find("SSTab1");
    ASSERT_NE(strip, nullptr);
    for (const auto& row : layout.items) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        ASSERT_NE(row.control, nullptr) << row.name;
        EXPECT_EQ(row.control->name(), row.name);
        EXPECT_TRUE(models.insert(row.control).second) << row.name;
        if (row.tabIndex >= 0) {
            EXPECT_TRUE(tabIndexes.insert(row.tabIndex).second) << row.name;
        }
        if (!row.container.empty()) {
            const LayoutItem* box = layout.find(row.container);
            ASSERT_NE(box, nullptr) << row.name;
            // Containers come first, so a backend can build the table in one pass.
            EXPECT_LT(box - layout.items.data(), &row - layout.items.data()) << row.name;
        }
        // Only the strip's own children name a page, and only one of its tabs.
        if (row.page >= 0) {
            EXPECT_EQ(row.container, strip->name) << row.name;
            EXPECT_LT(row.page, static_cast<int>(strip->tabs.size())) << row.name;
        } else if (row.container == strip->name) {
            ADD_FAILURE() << row.name << " lies on the strip but on no page";
        }
        const int page = layout.pageOf(row);
        if (page >= 0) pagesUsed.insert(page);
    }
    EXPECT_EQ(pagesUsed.size(), strip->tabs.size()) << "a tab with an empty page";
    // The dialog opens with "Save settings, Close" focused.
    EXPECT_EQ(*tabIndexes.begin(), layout.find("Command1")->tabIndex);

    // Shapes are decoration: none lies above a control of its container that takes input.
    for (size_t s = 0; s < layout.items.size(); ++s) {
        if (layout.items[s].kind != ControlKind::Shape) continue;
        for (size_t i = 0; i < s; ++i) {
            const LayoutItem& under = layout.items[i];
            if (under.tabIndex >= 0 && overlap(under, layout.items[s]))
                ADD_FAILURE() << layout.items[s].name << " covers " << under.name;
        }
    }
    // A label shows the pointing hand exactly when a press on it does something.
    for (const auto& row : layout.items) {
        if (row.kind != ControlKind::Label) continue;
        const bool pressable = static_cast<bool>(static_cast<Label*>(row.control)->onMouseDown);
        EXPECT_EQ((row.flags & kHandCursor) != 0, pressable) << row.name;
    }
}

TEST(SetupLayout, PageLookupSurvivesATableThatNamesItselfAsContainer) {
    Layout layout;
    LayoutItem a;
    a.name = "A";
    a.container = "B";
    LayoutItem b;
    b.name = "B";
    b.container = "A";
    layout.items = {a, b};
    EXPECT_EQ(layout.pageOf(layout.items[0]), -1);
}

TEST(HandCursor, IsAThirtyTwoPixelHandWithItsHotSpotOnTheFingerTip) {
    const CursorPicture& c = handCursor();
    ASSERT_EQ(c.image.width, 32);
    ASSERT_EQ(c.image.height, 32);
    EXPECT_EQ(c.hotX, 12);
    EXPECT_EQ(c.hotY, 1);
    EXPECT_EQ(c.image.row(c.hotY)[c.hotX], 0xFF000000u);  // the outline of the tip
    EXPECT_EQ(c.image.row(0)[c.hotX], 0u);               // nothing above it
    std::set<uint32_t> colors(c.image.pixels.begin(), c.image.pixels.end());
    EXPECT_EQ(colors, (std::set<uint32_t>{0u, 0xFF000000u, 0xFFFFFFFFu}));
}
