#include <gtest/gtest.h>

#include <filesystem>

#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

TEST_F(SetupDialogTest, BrowsePutsTheChosenPathIntoThePathBoxWithoutSaving) {
    open();
    platform.openAnswers.push_back("/home/u/Pictures/Holiday 2/DSC01.JPG");
    dlg.Command5.press();
    EXPECT_EQ(dlg.txFile.Text(), "/home/u/Pictures/Holiday 2/DSC01.JPG");
    ASSERT_EQ(platform.openRequests.size(), 1u);
    EXPECT_EQ(platform.openRequests[0].filter, "*.bmp;*.jpg;*.gif");
    EXPECT_EQ(platform.openRequests[0].defaultExt, "gif");
    EXPECT_EQ(platform.openRequests[0].fileName, "");
    EXPECT_TRUE(platform.store.saveOrder.empty());

    // Edited by hand afterwards, the path is saved as edited.
    dlg.txFile.setText("/home/u/Pictures/other.bmp");
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), "/home/u/Pictures/other.bmp");
}

TEST_F(SetupDialogTest, CancelKeepsThePathAndTheNextBrowseStartsAtTheLastChoice) {
    platform.store.set("AniFile", "/kept.gif");
    open();
    dlg.Command5.press();  // no answer queued: the user cancels
    EXPECT_EQ(dlg.txFile.Text(), "/kept.gif");

    platform.openAnswers.push_back("/a/first.gif");
    dlg.Command5.press();
    EXPECT_EQ(dlg.txFile.Text(), "/a/first.gif");
    dlg.txFile.setText("/typed.bmp");
    dlg.Command5.press();  // cancelled again
    EXPECT_EQ(dlg.txFile.Text(), "/typed.bmp");
    dlg.Command5.press();
    ASSERT_EQ(platform.openRequests.size(), 4u);
    EXPECT_EQ(platform.openRequests[0].fileName, "");
    EXPECT_EQ(platform.openRequests[2].fileName, "/a/first.gif");
    EXPECT_EQ(platform.openRequests[3].fileName, "/a/first.gif");
}

namespace {
// A file dialog that fails for a reason other than a cancel.
class BrokenDialogPlatform : public mv::test::FakePlatform {
public:
    std::string showOpen(const OpenFileRequest&) override { throw PlatformError(ErrOutOfMemory, "no dialog"); }
};
}  // namespace

TEST(SetupBrowse, OtherDialogFailuresCopyWhateverFileNameHolds) {
    BrokenDialogPlatform platform;
    App app(platform);
    frmSetup2& dlg = *app.setupForm;
    dlg.Show();
    dlg.txFile.setText("/typed.gif");
    dlg.CommonDialog1.FileName = "/from/before.bmp";
    EXPECT_NO_THROW(dlg.Command5.press());
    EXPECT_EQ(dlg.txFile.Text(), "/from/before.bmp");
}

TEST_F(SetupDialogTest, TheFirstBrowseStartsWherePicturesAreNeverInTheProgramsFolder) {
    namespace fs = std::filesystem;
    const fs::path holiday = platform.dir.path() / "Holiday";
    const fs::path pictures = platform.dir.path() / "Pictures";
    fs::create_directories(holiday);
    fs::create_directories(pictures);
    platform.picturesDir = pictures.string();
    platform.homeDir = platform.dir.file("home");
    // The folder of the path in the box, the Pictures folder, then home, in that order.
    struct Case {
        std::string typed, picturesDir, startFolder;
    };
    const Case cases[] = {
        {(holiday / "beach.jpg").string(), pictures.string(), holiday.string()},
        {(holiday / "gone" / "beach.jpg").string(), pictures.string(), pictures.string()},
        {"beach.jpg", pictures.string(), pictures.string()},  // relative: the program's folder
        {"", pictures.string(), pictures.string()},
        {"", platform.dir.file("NoPictures"), platform.dir.file("home")},
    };
    open();
    for (const Case& c : cases) {
        platform.picturesDir = c.picturesDir;
        platform.openRequests.clear();
        dlg.txFile.setText(c.typed);
        dlg.Command5.press();  // cancelled
        ASSERT_EQ(platform.openRequests.size(), 1u);
        EXPECT_EQ(platform.openRequests[0].startFolder, c.startFolder) << "typed: " << c.typed;
        EXPECT_NE(platform.openRequests[0].startFolder, platform.programDirectory());
        // The filter and default extension stay as they are.
        EXPECT_EQ(platform.openRequests[0].filter, "*.bmp;*.jpg;*.gif");
        EXPECT_EQ(platform.openRequests[0].defaultExt, "gif");
    }

    // After a choice the dialog starts from the chosen file, as before.
    platform.openRequests.clear();
    platform.openAnswers.push_back((holiday / "a.gif").string());
    dlg.Command5.press();
    dlg.Command5.press();
    ASSERT_EQ(platform.openRequests.size(), 2u);
    EXPECT_EQ(platform.openRequests[1].fileName, (holiday / "a.gif").string());
}
