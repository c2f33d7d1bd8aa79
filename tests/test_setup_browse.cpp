#include <gtest/gtest.h>

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
