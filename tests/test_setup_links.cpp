#include <gtest/gtest.h>

#include "support/setup_fixture.h"

using namespace mv;
using mv::test::SetupDialogTest;

namespace {
// Records the link colours at the moment the shell is asked, and can fail like a missing browser.
class WatchingPlatform : public mv::test::FakePlatform {
public:
    std::function<void()> onShell;
    bool failShell = false;
    void shellOpen(const std::string& url) override {
        if (onShell) onShell();
        if (failShell) throw PlatformError(ErrFileNotFound, "no browser");
        FakePlatform::shellOpen(url);
    }
};
}  // namespace

TEST_F(SetupDialogTest, LinksShowTheirHostAndOpenItOnEveryPressOfAnyButton) {
    open();
    EXPECT_EQ(dlg.Label9.Caption(), kMakerHost);
    EXPECT_EQ(dlg.Label14.Caption(), kImagesHost);
    EXPECT_EQ(dlg.Label9.ForeColor(), 0xC00000);
    EXPECT_EQ(dlg.Line2.BorderColor(), 0xC00000);

    dlg.Label9.onMouseDown(1, 0, 10, 10);
    dlg.Label9.onMouseUp(1, 0, 10, 10);
    dlg.Label14.onMouseDown(2, 0, 0, 0);  // right button
    dlg.Label14.onMouseUp(2, 0, 0, 0);
    dlg.Label9.onMouseDown(4, 1, 0, 0);
    EXPECT_EQ(platform.opened, (std::vector<std::string>{"http://" + dlg.Label9.Caption(),
                                                         "http://" + dlg.Label14.Caption(),
                                                         "http://" + dlg.Label9.Caption()}));
    EXPECT_TRUE(platform.store.saveOrder.empty());
}

TEST_F(SetupDialogTest, LinkTurnsRedOnPressAndLighterBlueOnRelease) {
    open();
    dlg.Label14.onMouseDown(1, 0, 0, 0);
    EXPECT_EQ(dlg.Label14.ForeColor(), frmSetup2::kLinkPressed);
    EXPECT_EQ(dlg.Line2.BorderColor(), frmSetup2::kLinkPressed);
    EXPECT_EQ(dlg.Label9.ForeColor(), 0xC00000);  // the other link is untouched
    dlg.Label14.onMouseUp(1, 0, 0, 0);
    EXPECT_EQ(dlg.Label14.ForeColor(), 0xFF0000);
    EXPECT_EQ(dlg.Line2.BorderColor(), 0xFF0000);
}

TEST(SetupLinks, RedIsPaintedBeforeTheShellStartsAndShellFailuresAreIgnored) {
    WatchingPlatform platform;
    App app(platform);
    frmSetup2& dlg = *app.setupForm;
    dlg.Show();
    int eventsBeforeShell = -1;
    int32_t colorAtShell = 0;
    platform.onShell = [&] {
        eventsBeforeShell = platform.doEventsCalls;
        colorAtShell = dlg.Line1.BorderColor();
    };
    const int eventsAtPress = platform.doEventsCalls;
    // A quick release queued behind the press is handled before the shell call returns.
    platform.pendingEvents.push_back([&] { dlg.Label9.onMouseUp(1, 0, 0, 0); });
    platform.failShell = true;
    EXPECT_NO_THROW(dlg.Label9.onMouseDown(1, 0, 0, 0));
    EXPECT_EQ(eventsBeforeShell, eventsAtPress + 2);  // the press's own, and the release's inside it
    EXPECT_EQ(colorAtShell, 0xFF0000);
    EXPECT_TRUE(platform.opened.empty());
    EXPECT_TRUE(dlg.Loaded());
}
