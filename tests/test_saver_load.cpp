#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "saver/frmMain.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "startup/mod1.h"
#include "support/fake_platform.h"

using namespace mv;

namespace {

struct Process {
    bool run() {
        platform.arguments = "/S";
        try {
            Main(app);
        } catch (const ProcessTerminated&) {
            return true;
        }
        return false;
    }
    test::FakeWindowHost* saverHost() const { return dynamic_cast<test::FakeWindowHost*>(app.mainForm->host()); }
    bool saverShown() const { return saverHost() && saverHost()->shown; }
    bool setupShown() const { return app.setupForm->Loaded() && app.setupForm->Visible(); }
    uint32_t pixel(int x, int y) const { return app.mainForm->backing().pixels.at(static_cast<size_t>(y) * app.mainForm->backing().width + x); }
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) { return platform.dir.write(name, bytes); }

    test::FakePlatform platform;
    App app{platform};
};

// A readable BMP padded with zero bytes to exactly `size` bytes.
std::vector<uint8_t> bmpOfSize(size_t size, int32_t color) {
    auto bytes = test::makeBmp(1, 11, color);  // 98 bytes
    bytes.resize(size, 0);
    return bytes;
}

}  // namespace

TEST(SaverLoad, StillPictureIsStretchedOverTheWholeScreen) {
    Process p;
    p.platform.store.set("AniFile", p.write("pic.bmp", test::makeBmp(640, 480, 0x0000FF)));
    p.platform.store.set("Mousesens", "15");
    EXPECT_FALSE(p.run());
    ASSERT_TRUE(p.saverShown());
    frmMain& f = *p.app.mainForm;
    EXPECT_EQ(f.Left(), 0);
    EXPECT_EQ(f.Top(), 0);
    EXPECT_EQ(f.Width(), 1280 * 15);
    EXPECT_EQ(f.Height(), 1024 * 15);
    EXPECT_EQ(f.backing().width, 1280);
    EXPECT_EQ(f.backing().height, 1024);
    EXPECT_EQ(p.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(p.pixel(1279, 1023), 0xFFFF0000u);
    EXPECT_TRUE(f.AutoRedraw);
    EXPECT_FALSE(f.AnimationTimer.Enabled());
    EXPECT_EQ(p.saverHost()->presents, 1);
    EXPECT_EQ(p.app.mouseSens, 15);
    EXPECT_EQ(p.platform.cursorCount, -2);
    EXPECT_FALSE(p.app.setupForm->Loaded());
}

TEST(SaverLoad, NoStoredSettingsOpenTheSetupDialogAndNeverShowTheSaver) {
    Process p;
    EXPECT_FALSE(p.run());
    EXPECT_TRUE(p.setupShown());
    EXPECT_TRUE(p.app.mainForm->Loaded());  // loaded but hidden behind the dialog
    EXPECT_FALSE(p.saverShown());
    EXPECT_GE(p.platform.cursorCount, 0);
    EXPECT_EQ(p.app.bgColor, 0);
    EXPECT_EQ(p.app.mouseSens, 0);
}

TEST(SaverLoad, StillFilesOfAtMost100BytesAreRefusedEvenWhenReadable) {
    {
        Process p;
        p.platform.store.set("AniFile", p.write("small.bmp", bmpOfSize(100, 0xFF)));
        p.run();
        EXPECT_TRUE(p.setupShown());
        EXPECT_FALSE(p.saverShown());
        EXPECT_GE(p.platform.cursorCount, 0);
    }
    {
        Process p;
        p.platform.store.set("AniFile", p.write("small.bmp", bmpOfSize(101, 0xFF)));
        p.run();
        EXPECT_TRUE(p.saverShown());
        EXPECT_FALSE(p.app.setupForm->Loaded());
    }
}

TEST(SaverLoad, UnreadableOrMissingStillPicturesOpenTheSetupDialog) {
    for (const bool exists : {true, false}) {
        Process p;
        std::string path = p.platform.dir.file("broken.jpg");
        if (exists) p.write("broken.jpg", std::vector<uint8_t>(4096, 0x5A));
        p.platform.store.set("AniFile", path);
        p.run();
        EXPECT_TRUE(p.setupShown()) << exists;
        EXPECT_FALSE(p.saverShown()) << exists;
        EXPECT_GE(p.platform.cursorCount, 0) << exists;
    }
}

TEST(SaverLoad, AHugeFileIsRefusedWithoutReadingIt) {
    Process p;
    const std::string path = p.write("huge.jpg", test::makeBmp(4, 4, 0xFF));
    std::filesystem::resize_file(path, 3ull * 1024 * 1024 * 1024);  // sparse: takes no disk space
    p.platform.store.set("AniFile", path);
    p.run();
    EXPECT_TRUE(p.setupShown());
    EXPECT_FALSE(p.saverShown());
}

TEST(SaverLoad, OnlyAllLowerOrAllUpperGifTakesTheAnimatedPath) {
    // With a missing file both paths open the setup dialog; the animated one shows the cursor
    // once more on its way (no picture after the frame splitter), the still one does not.
    const struct {
        const char* name;
        bool animated;
    } cases[] = {{"sun.gif", true}, {"sun.GIF", true}, {"mygif", true}, {"sun.Gif", false}, {"sun.gIF", false},
                 {"sun.jpg", false}, {"sun.gif  ", true}};
    for (const auto& c : cases) {
        Process p;
        p.platform.store.set("AniFile", p.platform.dir.file("missing") + "/" + c.name);
        p.run();
        EXPECT_TRUE(p.setupShown()) << c.name;
        EXPECT_EQ(p.platform.cursorCount, c.animated ? 1 : 0) << c.name;
    }
}

TEST(SaverLoad, MixedCaseGifNameIsShownAsAStill) {
    Process p;
    p.platform.store.set("AniFile", p.write("sun.Gif", test::makeBmp(16, 16, 0x00FF00)));
    p.run();
    EXPECT_TRUE(p.saverShown());
    EXPECT_TRUE(p.app.mainForm->AutoRedraw);
    EXPECT_EQ(p.pixel(10, 10), 0xFF00FF00u);
}

TEST(SaverLoad, BlanksAroundThePathAreTrimmedForTheTestsButNotForLoading) {
    {
        // Only the trimmed name exists: the tests pass, loading the stored name fails.
        Process p;
        const std::string path = p.write("pic.bmp", test::makeBmp(16, 16, 0xFF));
        p.platform.store.set("AniFile", "  " + path + "  ");
        p.run();
        EXPECT_EQ(p.app.mainForm->txFile.Text(), "  " + path + "  ");
        EXPECT_TRUE(p.setupShown());
        EXPECT_FALSE(p.saverShown());
    }
    {
        // Both exist: the picture comes from the name exactly as stored.
        Process p;
        const std::string path = p.write("pic.bmp", test::makeBmp(16, 16, 0x0000FF));
        p.write("pic.bmp ", test::makeBmp(16, 16, 0x00FF00));
        p.platform.store.set("AniFile", path + " ");
        p.run();
        ASSERT_TRUE(p.saverShown());
        EXPECT_EQ(p.pixel(5, 5), 0xFF00FF00u);
    }
}

TEST(SaverLoad, BackgroundColourAndSensitivityReads) {
    {
        Process p;
        p.platform.store.set("BackColors", "16777215");
        p.platform.store.set("Mousesens", "2.5");
        p.run();
        EXPECT_EQ(p.app.mainForm->Picture1.BackColor(), 0x00FFFFFF);
        EXPECT_EQ(p.app.mouseSens, 2);
    }
    {
        Process p;
        p.app.bgColor = 255;
        p.app.mouseSens = 7;
        p.platform.store.set("BackColors", "red");
        p.platform.store.set("Mousesens", "40000");
        p.platform.arguments = "/S";
        CheckPrevInstance(p.app);
        p.app.mainForm->Load();
        EXPECT_EQ(p.app.bgColor, 255);
        EXPECT_EQ(p.app.mainForm->Picture1.BackColor(), 255);
        EXPECT_EQ(p.app.mouseSens, 7);
    }
}

TEST(SaverLoad, ALaterLoadAfterTheUnloadReadsAndShowsNothing) {
    Process p;
    p.platform.store.set("AniFile", p.write("pic.bmp", test::makeBmp(16, 16, 0xFF)));
    p.run();
    EndSaver(p.app);
    ASSERT_TRUE(p.app.saverUnloaded);
    p.platform.store.set("AniFile", "changed");
    const int cursor = p.platform.cursorCount;
    p.app.mainForm->Load();
    EXPECT_NE(p.app.mainForm->txFile.Text(), "changed");  // the settings were not read again
    EXPECT_FALSE(p.saverShown());
    EXPECT_FALSE(p.app.setupForm->Loaded());
    EXPECT_EQ(p.platform.cursorCount, cursor);
    p.app.mainForm->Unload();
}

TEST(SaverLoad, InputWhileTheShowStartsEndsItWithoutTouchingTheWindowAgain) {
    Process p;
    p.platform.store.set("AniFile", p.write("pic.bmp", test::makeBmp(16, 16, 0xFF)));
    p.platform.store.set("Mousesens", "15");
    // A key press is queued before the picture is painted.
    p.platform.onDoEvents = [&] {
        if (p.app.mainForm->Visible() && p.app.mainForm->Loaded()) p.app.mainForm->Form_KeyDown(65, 0);
    };
    p.run();
    EXPECT_FALSE(p.app.mainForm->Loaded());
    EXPECT_TRUE(p.app.saverUnloaded);
    EXPECT_TRUE(p.app.mainForm->backing().empty());  // nothing painted after the unload
    EXPECT_TRUE(p.platform.loadedForms.empty());    // and nothing loaded it again
    EXPECT_EQ(p.platform.cursorCount, 0);
}

// When the show cannot start, the setup dialog opens as ever and its "File" page says in one
// line why: a missing file, a folder, or a file that is no picture it reads (as a still or as a
// GIF). Nothing is said when no picture was chosen, and the line goes when the dialog saves.
TEST(SaverLoad, TheSetupDialogSaysWhyTheShowCouldNotStart) {
    struct Case {
        std::string name;
        std::function<std::string(Process&)> make;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"missing", [](Process& p) { return p.platform.dir.file("gone.jpg"); }, "Could not show {}: no such file"},
        {"missing gif", [](Process& p) { return p.platform.dir.file("gone.gif"); }, "Could not show {}: no such file"},
        {"folder", [](Process& p) { std::filesystem::create_directory(p.platform.dir.file("pics")); return p.platform.dir.file("pics"); },
         "{} is a folder"},
        {"folder named gif", [](Process& p) { std::filesystem::create_directory(p.platform.dir.file("d.gif")); return p.platform.dir.file("d.gif"); },
         "{} is a folder"},
        {"noise", [](Process& p) { return p.write("noise.jpg", std::vector<uint8_t>(4096, 0x5A)); },
         "{} is not a picture Marvoscope can read"},
        {"noise gif", [](Process& p) { return p.write("noise.gif", std::vector<uint8_t>(4096, 0x5A)); },
         "{} is not a picture Marvoscope can read"},
        {"tiny", [](Process& p) { return p.write("small.bmp", bmpOfSize(100, 0xFF)); }, "{} is not a picture Marvoscope can read"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Process p;
        const std::string path = c.make(p);
        p.platform.store.set("AniFile", path);
        p.run();
        ASSERT_TRUE(p.setupShown());
        const frmSetup2& dlg = *p.app.setupForm;
        std::string want = c.line;
        const std::string shown = path.size() + want.size() - 2 <= 60 ? path : "...";
        want.replace(want.find("{}"), 2, shown);
        EXPECT_TRUE(dlg.LabelSaveFailed.Visible());
        EXPECT_EQ(dlg.SSTab1.Tab(), 0);
        if (shown == path) {
            EXPECT_EQ(dlg.LabelSaveFailed.Caption(), want);
        }
        // One line: a long path keeps its end, the file's name.
        EXPECT_LE(dlg.LabelSaveFailed.Caption().size(), 60u);
        const std::string name = std::filesystem::path(path).filename().string();
        EXPECT_NE(dlg.LabelSaveFailed.Caption().find(name), std::string::npos);
    }
    {
        Process p;  // nothing chosen yet: nothing went wrong
        p.run();
        ASSERT_TRUE(p.setupShown());
        EXPECT_FALSE(p.app.setupForm->LabelSaveFailed.Visible());
    }
    {
        Process p;
        p.platform.store.set("AniFile", p.platform.dir.file("gone.jpg"));
        p.run();
        frmSetup2& dlg = *p.app.setupForm;
        ASSERT_TRUE(dlg.LabelSaveFailed.Visible());
        p.platform.store.failOnKey = "AniFile";
        try {
            dlg.Command1.press();
        } catch (const ProcessTerminated&) {
        }
        EXPECT_EQ(dlg.LabelSaveFailed.Caption().rfind("Settings not saved to ", 0), 0u);
        p.platform.store.failOnKey.clear();
        dlg.txFile.setText(p.write("pic.bmp", test::makeBmp(4, 4, 0xFF)));
        EXPECT_THROW(dlg.Command1.press(), ProcessTerminated);
        EXPECT_FALSE(dlg.LabelSaveFailed.Visible());
    }
}
