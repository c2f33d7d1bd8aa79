#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files/files.h"
#include "saver/frmMain.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "startup/mod1.h"
#include "support/fake_platform.h"

using namespace mv;

namespace {

// One process: a scripted platform, the program's state, and a stored picture to show.
struct Process {
    Process() {
        picture = platform.dir.write("shown.bmp", test::makeBmp(64, 48, 0x0000FF));
        platform.store.set("AniFile", picture);
        platform.store.set("Mousesens", "15");
    }
    // Runs Main; true when it ended the process (terminate).
    bool run(const std::string& arguments) {
        platform.arguments = arguments;
        try {
            Main(app);
        } catch (const ProcessTerminated&) {
            return true;
        }
        return false;
    }
    bool saverShown() const {
        auto* host = dynamic_cast<test::FakeWindowHost*>(app.mainForm->host());
        return host && host->shown;
    }

    test::FakePlatform platform;
    App app{platform};
    std::string picture;
};

}  // namespace

TEST(Main, ConfigureSwitchesOpenOnlyTheSetupDialog) {
    for (const char* line : {"/c:1234", "/C", "/c", "/CONFIG", "  /c  "}) {
        Process p;
        EXPECT_FALSE(p.run(line)) << line;
        EXPECT_TRUE(p.app.setupForm->Loaded()) << line;
        EXPECT_TRUE(p.app.setupForm->Visible()) << line;
        EXPECT_FALSE(p.app.mainForm->Loaded()) << line;
        EXPECT_EQ(p.platform.currentDirectory, p.platform.programDirectory()) << line;
    }
}

TEST(Main, ShowSwitchesStartTheShowWithTheCursorHiddenTwice) {
    for (const char* line : {"/s", "  /S  ", "/SHOW", "", "   "}) {
        Process p;
        EXPECT_FALSE(p.run(line)) << line;
        EXPECT_TRUE(p.app.mainForm->Loaded()) << line;
        EXPECT_TRUE(p.saverShown()) << line;
        EXPECT_FALSE(p.app.setupForm->Loaded()) << line;
        EXPECT_EQ(p.platform.cursorCount, -2) << line;
        EXPECT_EQ(p.platform.currentDirectory, p.platform.programDirectory()) << line;
    }
}

TEST(Main, PreviewEndsAtOnceWithoutAWindow) {
    Process p;
    EXPECT_TRUE(p.run("/p 1234"));
    EXPECT_TRUE(p.platform.loadedForms.empty());
    EXPECT_EQ(p.platform.cursorCount, 0);
}

TEST(Main, PasswordSwitchAnswersWithOneMessage) {
    Process p;
    EXPECT_FALSE(p.run("/a"));
    ASSERT_EQ(p.platform.messages.size(), 1u);
    EXPECT_EQ(p.platform.messages[0], "Error|64|Password Protection not available with this screen saver");
    EXPECT_TRUE(p.platform.loadedForms.empty());
}

TEST(Main, UnknownSwitchesDoNothing) {
    for (const char* line : {"-s", "s", "/", "/X", "/ S", "\t/S"}) {
        Process p;
        EXPECT_FALSE(p.run(line)) << line;
        EXPECT_TRUE(p.platform.loadedForms.empty()) << line;
        EXPECT_TRUE(p.platform.messages.empty()) << line;
        EXPECT_EQ(p.platform.cursorCount, 0) << line;
    }
}

TEST(CheckPrevInstance, ASecondShowEndsWhileASaverWindowExists) {
    Process p;
    p.platform.otherInstance = true;
    p.platform.windowTitles.insert("Marvoscope");
    EXPECT_TRUE(p.run("/S"));
    EXPECT_TRUE(p.platform.loadedForms.empty());
    EXPECT_EQ(p.platform.cursorCount, 0);
}

TEST(CheckPrevInstance, AnotherInstanceShowingOnlyTheSetupDialogDoesNotBlock) {
    Process p;
    p.platform.otherInstance = true;
    p.platform.windowTitles.insert("Make a Marvoscope");
    EXPECT_FALSE(p.run("/S"));
    EXPECT_TRUE(p.saverShown());
    EXPECT_EQ(p.app.mainForm->Caption(), "Marvoscope");
    EXPECT_EQ(p.platform.cursorCount, -2);
}

TEST(CheckPrevInstance, NoOtherInstanceLeavesTheWindowAlone) {
    Process p;
    CheckPrevInstance(p.app);
    EXPECT_FALSE(p.app.mainForm->Loaded());
}

TEST(EndSaver, NormalEndLeavesTheCursorWhereItStarted) {
    Process p;
    p.run("/S");
    EndSaver(p.app);
    EXPECT_FALSE(p.app.mainForm->Loaded());
    EXPECT_TRUE(p.app.saverUnloaded);
    EXPECT_EQ(p.platform.cursorCount, 0);
    EXPECT_TRUE(p.platform.loadedForms.empty());
    EXPECT_FALSE(p.platform.findWindow("Marvoscope"));
}

TEST(EndSaver, InputQueuedBehindTheFirstEndingEventEndsTheShowOnce) {
    Process p;
    p.run("/S");
    frmMain& form = *p.app.mainForm;
    // Every kind of input arrives while EndSaver and the unload handler process events.
    p.platform.onDoEvents = [&] {
        if (!form.Loaded()) return;
        form.Form_KeyPress('x');
        form.Form_Click();
        form.Form_MouseDown(1, 0, 5, 5);
        form.Form_DblClick();
        form.Form_MouseMove(0, 0, 500, 500);
        form.Form_MouseMove(0, 0, 900, 900);
    };
    p.platform.pendingEvents.push_back([&] { form.Form_KeyDown(65, 0); });
    form.Form_KeyDown(16, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_TRUE(p.app.saverUnloaded);
    // Two hides at the start; one show by EndSaver and one by the single unload.
    EXPECT_EQ(p.platform.cursorCount, 0);
    EXPECT_TRUE(p.platform.loadedForms.empty());
    // Late input after the end changes nothing.
    p.platform.onDoEvents = nullptr;
    EndSaver(p.app);
    form.Form_Click();
    EXPECT_EQ(p.platform.cursorCount, 0);
}

TEST(EndSaver, DoesNothingWhenTheSaverWindowIsNotLoaded) {
    Process p;
    EndSaver(p.app);
    EXPECT_EQ(p.platform.cursorCount, 0);
    EXPECT_FALSE(p.app.mainForm->Loaded());
    EXPECT_FALSE(p.app.saverUnloaded);
}

TEST(EndSaver, AClickClosesFilesLeftOpen) {
    Process p;
    p.run("/S");
    auto& table = files::fileTable();
    const int n = table.freeFile();
    table.open(n, p.picture, files::Mode::ReadOnly);
    p.app.mainForm->Form_Click();
    EXPECT_EQ(table.openCount(), 0u);
    EXPECT_FALSE(p.app.mainForm->Loaded());
}
