#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

namespace fs = std::filesystem;

TEST(SetupFolderLine, SaysWhatTheFileBoxWillPlay) {
    mv::test::TempDir dir;
    fs::create_directories(dir.path() / "holiday");
    std::ofstream(dir.file("cat.gif")) << "GIF89a";
    EXPECT_EQ(FolderLine(dir.file("holiday")), "Plays the folder holiday");
    EXPECT_EQ(FolderLine("  " + dir.file("holiday") + "/ "), "Plays the folder holiday");
    EXPECT_EQ(FolderLine(dir.file("cat.gif")), kSinglePictureLine);
    EXPECT_EQ(FolderLine(dir.file("gone")), "Not found: gone");
    EXPECT_EQ(FolderLine(dir.file("holiday/gone.jpg")), "Not found: gone.jpg");
    EXPECT_EQ(FolderLine("   "), kNothingChosenLine);
    EXPECT_EQ(FolderLine("/"), "Plays the folder /");
}

TEST(SetupFolderLine, ALongNameIsCutBetweenCharactersToKeepTheLineShort) {
    mv::test::TempDir dir;
    fs::create_directories(dir.path() / "Holiday 2023 in Brittany");
    EXPECT_EQ(FolderLine(dir.file("Holiday 2023 in Brittany")), "Plays the folder Holiday 202...");
    // Two-byte letters: the cut falls after the eleventh, never inside one.
    std::string name;
    for (int i = 0; i < 17; ++i) name += "\xC3\xA9";
    // Joined as text: a path object would read the bytes in the Windows code page.
    EXPECT_EQ(FolderLine(dir.path().string() + "/" + name), "Not found: " + name.substr(0, 22) + "...");
    EXPECT_EQ(FolderLine(dir.file("fourteen_chars")), "Not found: fourteen_chars");
}

TEST_F(SetupDialogTest, TheLineBesideFolderFollowsTheFileBoxWhenTheShowTabIsShown) {
    const fs::path holiday = platform.dir.path() / "holiday";
    const fs::path winter = platform.dir.path() / "winter";
    fs::create_directories(holiday);
    fs::create_directories(winter);
    std::ofstream(platform.dir.file("cat.gif")) << "GIF89a";
    platform.store.set("AniFile", holiday.string());
    open();
    EXPECT_EQ(dlg.LabelFolder.Caption(), "Plays the folder holiday");

    // Typed on the "File" tab: the line is current when the "Show" tab comes up.
    dlg.txFile.setText(platform.dir.file("cat.gif"));
    dlg.SSTab1.setTab(5);
    EXPECT_EQ(dlg.LabelFolder.Caption(), kSinglePictureLine);
    dlg.SSTab1.setTab(0);
    dlg.txFile.setText("");
    dlg.SSTab1.setTab(5);
    EXPECT_EQ(dlg.LabelFolder.Caption(), kNothingChosenLine);

    // A folder chosen with "Folder..." shows at once, on the tab the button is on.
    platform.folderAnswers.push_back(winter.string());
    dlg.CmdFolder.press();
    EXPECT_EQ(dlg.LabelFolder.Caption(), "Plays the folder winter");
    // The folder going away while the dialog is open shows the next time the tab comes up.
    fs::remove(winter);
    dlg.SSTab1.setTab(1);
    dlg.SSTab1.setTab(5);
    EXPECT_EQ(dlg.LabelFolder.Caption(), "Not found: winter");
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), winter.string());
}
