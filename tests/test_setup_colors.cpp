#include <gtest/gtest.h>

#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

TEST_F(SetupDialogTest, SlidersComposeTheColourChannelByChannel) {
    open();
    auto expectColor = [&](int32_t c) {
        EXPECT_EQ(app.bgColor, c);
        EXPECT_EQ(dlg.Picture1.BackColor(), c);
        EXPECT_EQ(dlg.Label2.Caption(), IntText(c));
    };
    dlg.HScroll1.setValue(255);
    expectColor(255);
    dlg.HScroll1.setValue(0);
    dlg.HScroll2.setValue(255);
    expectColor(65280);
    dlg.HScroll2.setValue(0);
    dlg.HScroll3.setValue(255);
    expectColor(16711680);
    dlg.HScroll1.setValue(255);
    dlg.HScroll2.setValue(255);
    expectColor(16777215);
    dlg.HScroll1.setValue(0);
    dlg.HScroll2.setValue(0);
    dlg.HScroll3.setValue(0);
    expectColor(0);
    EXPECT_FALSE(dlg.Label2.Visible());
}

TEST_F(SetupDialogTest, SlidersStartAtZeroSoTheFirstMoveReplacesTheLoadedColour) {
    platform.store.set("BackColors", "16777215");
    open();
    EXPECT_EQ(dlg.Picture1.BackColor(), 16777215);
    for (auto* bar : {&dlg.HScroll1, &dlg.HScroll2, &dlg.HScroll3}) {
        EXPECT_EQ(bar->Value(), 0);
        EXPECT_EQ(bar->Min(), 0);
        EXPECT_EQ(bar->Max(), 255);
        EXPECT_EQ(bar->SmallChange(), 10);
        EXPECT_EQ(bar->LargeChange(), 20);
    }
    dlg.HScroll1.setValue(dlg.HScroll1.Value() + dlg.HScroll1.SmallChange());
    EXPECT_EQ(app.bgColor, 10);
    EXPECT_EQ(dlg.Picture1.BackColor(), 10);
}

TEST_F(SetupDialogTest, SliderPositionsOutsideTheRangeAreRefused) {
    open();
    EXPECT_THROW(dlg.HScroll2.setValue(256), PlatformError);
    EXPECT_THROW(dlg.HScroll2.setValue(-1), PlatformError);
    EXPECT_EQ(dlg.HScroll2.Value(), 0);
    EXPECT_EQ(app.bgColor, 0);
}

TEST_F(SetupDialogTest, MixedColourIsSavedOnlyBySaveAndClose) {
    platform.store.set("BackColors", "5");
    open();
    dlg.HScroll3.setValue(20);
    EXPECT_TRUE(ends([&] { dlg.Command6.press(); }));
    EXPECT_EQ(platform.store.get("BackColors"), "5");

    test::FakePlatform p;
    App a(p);
    a.setupForm->Show();
    a.setupForm->HScroll3.setValue(20);
    a.setupForm->HScroll2.setValue(1);
    EXPECT_TRUE(ends([&] { a.setupForm->Command1.press(); }));
    EXPECT_EQ(p.store.get("BackColors"), IntText(20 * 65536 + 256));
}
