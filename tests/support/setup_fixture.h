#pragma once
// A fresh program state with the setup dialog's window class, on the scripted platform.
#include <gtest/gtest.h>

#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "support/fake_platform.h"

namespace mv::test {

class SetupDialogTest : public ::testing::Test {
protected:
    FakePlatform platform;
    App app{platform};
    frmSetup2& dlg = *app.setupForm;

    // Runs an action that is expected to end the process; false when it returned instead.
    template <class Action>
    bool ends(Action&& action) {
        try {
            action();
        } catch (const ProcessTerminated&) {
            return true;
        }
        return false;
    }
    void open() { ASSERT_FALSE(ends([&] { dlg.Show(); })); }
};

}  // namespace mv::test
