#include <gtest/gtest.h>

#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

TEST_F(SetupDialogTest, FreshUserSeesCentredDefaultsAndSavesThem) {
    platform.screenW = 1280;
    platform.screenH = 1024;
    open();
    // 19200 x 15360 twips of screen, 4875 x 2625 of dialog.
    EXPECT_EQ(dlg.Left(), 7163);
    EXPECT_EQ(dlg.Top(), 6368);
    EXPECT_EQ(dlg.Width(), 4875);
    EXPECT_EQ(dlg.Height(), 2625);
    EXPECT_TRUE(dlg.Visible());
    EXPECT_EQ(dlg.txFile.Text(), "");
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    EXPECT_EQ(dlg.Text3.Text(), "1");
    EXPECT_EQ(dlg.Picture1.BackColor(), 0);
    EXPECT_EQ(dlg.Label2.Caption(), "0");
    EXPECT_FALSE(dlg.Label2.Visible());
    EXPECT_EQ(dlg.SSTab1.Tab(), 0);
    EXPECT_EQ(platform.cursorCount, 1);
    EXPECT_GE(platform.doEventsCalls, 1);
    EXPECT_TRUE(platform.store.saveOrder.empty());

    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.saveOrder,
              (std::vector<std::string>{"AniFile", "Mousesens", "BackColors", "Placement", "Monitors", "Interval",
                                        "Shuffle", "Fade", "Subfolders", "Caption", "Clock", "Motion"}));
    EXPECT_EQ(platform.store.get("AniFile"), "");
    EXPECT_EQ(platform.store.get("Mousesens"), "1");
    EXPECT_EQ(platform.store.get("BackColors"), "0");
    EXPECT_EQ(platform.store.get("Placement"), "Stretch");
    EXPECT_EQ(platform.store.get("Monitors"), "Each");
    // A single file shows as it always did; a folder would change every 10 s, shuffled, faded.
    EXPECT_EQ(platform.store.get("Interval"), "10");
    EXPECT_EQ(platform.store.get("Shuffle"), "1");
    EXPECT_EQ(platform.store.get("Fade"), "1");
    EXPECT_EQ(platform.store.get("Subfolders"), "0");
    EXPECT_EQ(platform.store.get("Caption"), "");
    EXPECT_EQ(platform.store.get("Clock"), "0");
}

TEST_F(SetupDialogTest, StoredSettingsAreShownWithTheSensitivityKeptInRange) {
    const std::pair<const char*, const char*> cases[] = {
        {"45", "30"}, {"0", "1"}, {"-3", "1"}, {"12", "12"}, {"30", "30"}, {"1", "1"}, {"2.5", "2"}, {"abc", "1"}};
    for (const auto& [stored, shown] : cases) {
        test::FakePlatform p;
        App a(p);
        p.store.set("Mousesens", stored);
        p.store.set("AniFile", "  /pics/x.gif ");
        p.store.set("BackColors", "16777215");
        a.setupForm->Show();
        EXPECT_EQ(a.setupForm->Sensit.Text(), shown) << "stored " << stored;
        EXPECT_EQ(a.setupForm->txFile.Text(), "  /pics/x.gif ");
        EXPECT_EQ(a.setupForm->Picture1.BackColor(), 16777215);
        EXPECT_EQ(a.setupForm->Label2.Caption(), "16777215");
    }
}

TEST_F(SetupDialogTest, DamagedColourKeepsTheColourItHad) {
    app.bgColor = 0x123456;
    platform.store.set("BackColors", "red");
    open();
    EXPECT_EQ(app.bgColor, 0x123456);
    EXPECT_EQ(dlg.Picture1.BackColor(), 0x123456);
    EXPECT_EQ(dlg.Label2.Caption(), IntText(0x123456));
}

TEST_F(SetupDialogTest, RangeRuleAppliesToTypingWithOneNestedChange) {
    open();
    std::vector<std::string> seen;
    dlg.Sensit.observer = [&](Control&) { seen.push_back(dlg.Sensit.Text()); };

    dlg.Sensit.setText("");
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    EXPECT_EQ(seen, (std::vector<std::string>{"", "1"}));

    seen.clear();
    dlg.Sensit.setText("4");
    dlg.Sensit.setText("45");
    EXPECT_EQ(dlg.Sensit.Text(), "30");
    EXPECT_EQ(seen, (std::vector<std::string>{"4", "45", "30"}));

    dlg.Sensit.setText("1x");
    EXPECT_EQ(dlg.Sensit.Text(), "1x");
    dlg.Sensit.setText("x");
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    dlg.Sensit.setText("30");
    EXPECT_EQ(dlg.Sensit.Text(), "30");
    dlg.Sensit.setText("-");
    EXPECT_EQ(dlg.Sensit.Text(), "1");
    EXPECT_EQ(dlg.Sensit.MaxLength, 2);

    // The delay field follows the same rule on its own.
    dlg.Text3.setText("0");
    EXPECT_EQ(dlg.Text3.Text(), "1");
    dlg.Text3.setText("31");
    EXPECT_EQ(dlg.Text3.Text(), "30");
    dlg.Text3.setText("7m");
    EXPECT_EQ(dlg.Text3.Text(), "7m");
    EXPECT_EQ(dlg.Sensit.Text(), "1");
}

TEST_F(SetupDialogTest, SaveTrimsBlanksOnlyAndWritesTheLeadingNumber) {
    open();
    dlg.txFile.setText("  /home/u/My Pictures/cat.jpg   ");
    dlg.Sensit.setText("1x");
    app.bgColor = 255;
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), "/home/u/My Pictures/cat.jpg");
    EXPECT_EQ(platform.store.get("Mousesens"), "1");
    EXPECT_EQ(platform.store.get("BackColors"), "255");
}

TEST_F(SetupDialogTest, TabsAroundThePathAreSavedAsTyped) {
    open();
    dlg.txFile.setText("\t/p/a.gif\t");
    dlg.Sensit.setText("15");
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), "\t/p/a.gif\t");
    EXPECT_EQ(platform.store.get("Mousesens"), "15");
}

// A store that cannot be written keeps the dialog open with one line saying where; pressing
// the button again once the store is writable saves and closes.
TEST_F(SetupDialogTest, FailingSaveKeepsTheDialogOpenAndSaysWhereThenARetrySaves) {
    platform.store.set("Mousesens", "7");
    open();
    EXPECT_FALSE(dlg.LabelSaveFailed.Visible());
    dlg.txFile.setText("/new.gif");
    dlg.Sensit.setText("20");
    platform.store.failOnKey = "AniFile";
    dlg.SSTab1.setTab(3);
    EXPECT_FALSE(ends([&] { dlg.Command1.press(); }));
    EXPECT_TRUE(dlg.Visible());
    EXPECT_EQ(dlg.SSTab1.Tab(), 0);
    EXPECT_TRUE(dlg.LabelSaveFailed.Visible());
    EXPECT_EQ(dlg.LabelSaveFailed.Caption(), "Settings not saved to /config/Marvoscope 1.0 Demo.ini.");
    EXPECT_EQ(platform.store.get("Mousesens"), "7");
    EXPECT_TRUE(platform.messages.empty());
    // A location too long for one line keeps its end from a separator on.
    platform.store.where = "C:\\Users\\A very long user name\\Application Data\\Marvoscope 1.0 Demo.ini";
    EXPECT_FALSE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(dlg.LabelSaveFailed.Caption(), "Settings not saved to ...\\Marvoscope 1.0 Demo.ini.");

    platform.store.failOnKey.clear();
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), "/new.gif");
    EXPECT_EQ(platform.store.get("Mousesens"), "20");
}

TEST_F(SetupDialogTest, JustCloseAndTheCloseBoxSaveNothing) {
    {
        open();
        dlg.txFile.setText("/typed.gif");
        const int cursor = platform.cursorCount;
        EXPECT_TRUE(ends([&] { dlg.Command6.press(); }));
        EXPECT_TRUE(platform.store.saveOrder.empty());
        EXPECT_EQ(platform.cursorCount, cursor + 1);
    }
    test::FakePlatform p;
    App a(p);
    a.setupForm->Show();
    a.setupForm->txFile.setText("/typed.gif");
    EXPECT_TRUE(ends([&] { a.setupForm->requestClose(); }));
    EXPECT_TRUE(p.store.saveOrder.empty());
    EXPECT_TRUE(p.terminated);
}

TEST_F(SetupDialogTest, SaveSettingsButtonStoresNothingAndKeepsTheDialogOpen) {
    open();
    dlg.Text3.setText("5");
    EXPECT_FALSE(ends([&] { dlg.Command2.press(); }));
    EXPECT_TRUE(dlg.Loaded());
    EXPECT_TRUE(platform.store.saveOrder.empty());
}

TEST_F(SetupDialogTest, ClosingTheFallbackDialogAlsoUnloadsTheSaverWindow) {
    // The show finds no picture and opens the dialog instead, keeping its own window hidden.
    EXPECT_FALSE(ends([&] { app.mainForm->Load(); }));
    ASSERT_TRUE(dlg.Loaded());
    ASSERT_TRUE(app.mainForm->Loaded());
    EXPECT_TRUE(ends([&] { dlg.Command6.press(); }));
    EXPECT_FALSE(app.mainForm->Loaded());
    EXPECT_TRUE(platform.store.saveOrder.empty());
}

TEST_F(SetupDialogTest, AClickQueuedWhileLoadingRunsInsideTheLoad) {
    platform.pendingEvents.push_back([&] { dlg.Command6.press(); });
    EXPECT_TRUE(ends([&] { dlg.Show(); }));
    EXPECT_TRUE(platform.store.saveOrder.empty());
    EXPECT_EQ(platform.cursorCount, 2);  // once by the load, once by the unload
}

TEST_F(SetupDialogTest, ClosingTwiceWhileUnloadingEndsOnce) {
    open();
    int terminations = 0;
    platform.pendingEvents.push_back([&] { dlg.requestClose(); });
    try {
        dlg.Command6.press();
    } catch (const ProcessTerminated&) {
        ++terminations;
    }
    EXPECT_EQ(terminations, 1);
}
