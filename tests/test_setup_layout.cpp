#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/hand_cursor.h"
#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

TEST_F(SetupDialogTest, DesignStateBeforeLoadingRaisesNoChangeEvents) {
    const Layout* layout = dlg.layout();
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->clientWidth, 4875);
    EXPECT_EQ(layout->clientHeight, 2625);
    EXPECT_EQ(dlg.Sensit.Text(), "15");  // design text, untouched by the range rule
    EXPECT_EQ(dlg.Text3.Text(), "1");
    EXPECT_EQ(dlg.Picture1.BackColor(), 0);
    EXPECT_EQ(dlg.Picture2.BackColor(), 0x00F2B042);
    EXPECT_EQ(dlg.VScroll1.Value(), 1);
    EXPECT_EQ(dlg.VScroll1.Min(), 30);
    EXPECT_EQ(dlg.VScroll1.Max(), 0);
    EXPECT_EQ(dlg.Shape3.BorderColor(), 0);
    EXPECT_EQ(dlg.Line1.BorderWidth, 2);
    EXPECT_EQ(app.bgColor, 0);
    EXPECT_EQ(dlg.SSTab1.TabCaptions(), (std::vector<std::string>{"File", "Mouse", "Colors", "URLs", "Help"}));
    EXPECT_EQ(dlg.Label7.Caption(),
              "Mouse Sensitivity" + std::string(10, ' ') + "1 = Most Sensitive" + std::string(7, ' ') +
                  "30 = Least Sensitive");
    EXPECT_EQ(dlg.Label8.Caption(), "Background Color Selector" + std::string(5, ' ') + "For Transparent Images");
}

TEST_F(SetupDialogTest, EveryRowShowsItsOwnControlOnTheRightPageInOneTabOrder) {
    const Layout& layout = *dlg.layout();
    std::set<std::string> names;
    std::set<int> tabIndexes;
    std::set<const Control*> models;
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
    }
    EXPECT_EQ(*tabIndexes.begin(), layout.find("Command1")->tabIndex);
    const std::pair<const char*, int> pages[] = {{"txFile", 0}, {"Command5", 0}, {"Sensit", 1}, {"Text3", 1},
                                                 {"Command2", 1}, {"HScroll3", 2}, {"Picture1", 2}, {"Label2", 2},
                                                 {"Label9", 3},   {"Line2", 3},    {"Label17", 4}, {"Command1", -1}};
    for (const auto& [name, page] : pages) EXPECT_EQ(layout.pageOf(*layout.find(name)), page) << name;
    // The shapes lie beneath the sliders and the swatch on the colour panel.
    auto at = [&](const char* n) { return layout.find(n) - layout.items.data(); };
    EXPECT_LT(at("Shape3"), at("HScroll1"));
    EXPECT_LT(at("HScroll3"), at("Picture1"));
    EXPECT_TRUE(layout.find("Label9")->flags & kHandCursor);
    EXPECT_TRUE(layout.find("Label14")->flags & kHandCursor);
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
