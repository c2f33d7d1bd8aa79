#include <gtest/gtest.h>

#include "platform/picture/decode_size.h"
#include "platform/picture/placement.h"
#include "saver/frmMain.h"
#include "settings/placement_text.h"
#include "settings/slideshow_text.h"
#include "settings/settings.h"
#include "startup/app.h"
#include "startup/cli_options.h"
#include "startup/hosted.h"
#include "support/fake_platform.h"

using namespace mv;

TEST(PicturePlacement, GeometryTable) {
    struct Row {
        const char* what;
        int picW, picH;
        PixelRect area;
        PicturePlacement mode;
        PixelRect expected;
    };
    const PixelRect screen{0, 0, 1280, 720};
    const Row rows[] = {
        {"stretch is the area", 800, 600, screen, PicturePlacement::Stretch, screen},
        {"4:3 fit on 16:9", 800, 600, screen, PicturePlacement::Fit, {160, 0, 960, 720}},
        {"4:3 fill on 16:9", 800, 600, screen, PicturePlacement::Fill, {0, -120, 1280, 960}},
        {"portrait fit on landscape", 600, 800, screen, PicturePlacement::Fit, {370, 0, 540, 720}},
        {"portrait fill on landscape", 600, 800, screen, PicturePlacement::Fill, {0, -494, 1280, 1707}},
        {"landscape fit on portrait", 1920, 1080, {0, 0, 1080, 1920}, PicturePlacement::Fit, {0, 656, 1080, 608}},
        {"landscape fill on portrait", 1920, 1080, {0, 0, 1080, 1920}, PicturePlacement::Fill, {-1167, 0, 3413, 1920}},
        {"equal ratios fit", 640, 360, screen, PicturePlacement::Fit, screen},
        {"equal ratios fill", 640, 360, screen, PicturePlacement::Fill, screen},
        {"1x1 fit", 1, 1, screen, PicturePlacement::Fit, {280, 0, 720, 720}},
        {"1x1 fill", 1, 1, screen, PicturePlacement::Fill, {0, -280, 1280, 1280}},
        {"10000 times smaller", 2, 1, {0, 0, 20000, 20000}, PicturePlacement::Fit, {0, 5000, 20000, 10000}},
        {"10000 times larger", 20000, 10000, {0, 0, 2, 2}, PicturePlacement::Fit, {0, 0, 2, 1}},
        {"a thin side keeps one pixel", 30000, 1, {0, 0, 1280, 720}, PicturePlacement::Fit, {0, 359, 1280, 1}},
        {"a long fill stays an int", 1, 32767, {0, 0, 100000, 10}, PicturePlacement::Fill, {0, -268435451, 100000, 536870912}},
        {"offset area, odd spare pixel", 100, 100, {-1920, 30, 301, 200}, PicturePlacement::Fit, {-1870, 30, 200, 200}},
        {"an empty picture gives the area", 0, 0, screen, PicturePlacement::Fit, screen},
    };
    for (const Row& r : rows) EXPECT_EQ(PlacePicture(r.picW, r.picH, r.area, r.mode), r.expected) << r.what;
}

TEST(PicturePlacement, SpanCoversEveryMonitorWhateverItsOffset) {
    EXPECT_EQ(BoundingRect({{0, 0, 1920, 1080}, {-1280, 200, 1280, 1024}}), (PixelRect{-1280, 0, 3200, 1224}));
    EXPECT_EQ(BoundingRect({{0, 0, 800, 600}, {800, -300, 1024, 768}, {0, 600, 800, 600}}), (PixelRect{0, -300, 1824, 1500}));
    EXPECT_EQ(BoundingRect({}), PixelRect{});
}

TEST(PicturePlacement, ShownSizeIsTheLargestPlacementOnAnySurface) {
    // A landscape and a portrait monitor, a 4:3 photo.
    ShownAreas shown{{{0, 0, 1920, 1080}, {0, 0, 1080, 1920}}, PicturePlacement::Stretch};
    EXPECT_EQ(ShownSize(4000, 3000, shown), (PixelSize{1920, 1920}));
    shown.placement = PicturePlacement::Fit;
    EXPECT_EQ(ShownSize(4000, 3000, shown), (PixelSize{1440, 1080}));
    shown.placement = PicturePlacement::Fill;
    EXPECT_EQ(ShownSize(4000, 3000, shown), (PixelSize{2560, 1920}));
    EXPECT_EQ(ShownSize(4000, 3000, ShownAreas{}), PixelSize{});
}

TEST(PicturePlacement, DecodedAtTheSmallestWholeEighthsThatCoverTheShownSize) {
    const std::initializer_list<int> any = {1, 2, 3, 4, 5, 6, 7, 8}, halves = {1, 2, 4, 8};
    EXPECT_EQ(DecodeEighths(6400, 3600, {1920, 1080}, any), 3);  // 2400 x 1350
    EXPECT_EQ(DecodeEighths(6400, 3600, {1920, 1080}, halves), 4);
    EXPECT_EQ(DecodeEighths(6400, 3600, {3840, 2160}, any), 5);
    EXPECT_EQ(DecodeEighths(6400, 3600, {3840, 2160}, halves), 8);
    EXPECT_EQ(DecodeEighths(6400, 3600, {800, 10}, any), 1);
    EXPECT_EQ(DecodeEighths(1000, 750, {100, 75}, any), 4);   // 125 x 93.75 and 250 x 187.5 are not whole
    EXPECT_EQ(DecodeEighths(6401, 3600, {100, 100}, any), 8);  // no smaller size comes out whole
    EXPECT_EQ(DecodeEighths(640, 480, {1920, 1080}, any), 8);
}

TEST(PicturePlacement, StoredWordsReadInAnyCaseAndOtherTextIsTheDefault) {
    EXPECT_EQ(PlacementFromText(" fIT "), PicturePlacement::Fit);
    EXPECT_EQ(PlacementFromText("FILL"), PicturePlacement::Fill);
    EXPECT_EQ(MonitorsFromText("span"), Monitors::Span);
    for (PicturePlacement p : {PicturePlacement::Stretch, PicturePlacement::Fit, PicturePlacement::Fill}) EXPECT_EQ(PlacementFromText(PlacementText(p)), p);
    for (Monitors m : {Monitors::Each, Monitors::Span}) EXPECT_EQ(MonitorsFromText(MonitorsText(m)), m);
    test::FakePlatform platform;
    App app{platform};
    for (const std::string& text : {std::string(), std::string("Fits"), std::string("1")}) {
        platform.store.set("Placement", text);
        platform.store.set("Monitors", text);
        const PlacementSetting s = ReadPlacement(app);
        EXPECT_EQ(s.placement, PicturePlacement::Stretch) << text;
        EXPECT_EQ(s.monitors, Monitors::Each) << text;
    }
}

namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kViolet = 0xFF8000FFu;  // the picture; the background colour

struct Show {
    explicit Show(int w = 800, int h = 600) {
        platform.store.set("AniFile", platform.dir.write("shown.bmp", test::makeBmp(w, h, 0x0000FF)));
        platform.store.set("BackColors", std::to_string(0xFF0080));
        platform.store.set("Mousesens", "15");
        platform.screenW = 1280;
        platform.screenH = 720;
    }
    void run() { app.mainForm->Load(); }
    uint32_t at(int x, int y, size_t surface = 0) const { return app.mainForm->backing(surface).row(y)[x]; }

    test::FakePlatform platform;
    App app{platform};
};

}  // namespace

TEST(PlacedShow, FitPaintsTheBarsInTheBackgroundColourAndFillCoversTheScreen) {
    Show fit;
    fit.platform.store.set("Placement", "Fit");
    fit.run();
    EXPECT_EQ(fit.at(0, 0), kViolet);
    EXPECT_EQ(fit.at(159, 719), kViolet);
    EXPECT_EQ(fit.at(160, 0), kRed);
    EXPECT_EQ(fit.at(1119, 719), kRed);
    EXPECT_EQ(fit.at(1120, 360), kViolet);

    Show fill(600, 800);
    fill.platform.store.set("Placement", "fill");
    fill.run();
    for (int x : {0, 640, 1279})
        for (int y : {0, 719}) EXPECT_EQ(fill.at(x, y), kRed) << x << "," << y;
}

TEST(PlacedShow, SpanGivesEachMonitorItsOwnPartOfOnePicture) {
    // A 1280x720 primary and a 640x480 monitor to its left, 240 pixels lower: the desk is
    // 1920x720 from (-640, 0). A 1920x480 picture fits it whole, from desk row 120 to 599.
    Show span(1920, 480);
    span.platform.monitors = {{0, 0, 1280, 720}, {-640, 240, 640, 480}};
    span.platform.store.set("Placement", "Fit");
    span.platform.store.set("Monitors", "Span");
    span.run();
    ASSERT_EQ(span.app.mainForm->surfaceCount(), 2u);
    EXPECT_EQ(span.at(0, 119), kViolet);
    EXPECT_EQ(span.at(0, 120), kRed);
    EXPECT_EQ(span.at(1279, 599), kRed);
    EXPECT_EQ(span.at(1279, 600), kViolet);
    EXPECT_EQ(span.at(0, 0, 1), kRed);  // the left monitor's top row is desk row 240
    EXPECT_EQ(span.at(639, 359, 1), kRed);
    EXPECT_EQ(span.at(639, 360, 1), kViolet);

    // Each monitor alone: the same picture fitted to each one's own shape.
    Show each(1920, 480);
    each.platform.monitors = span.platform.monitors;
    each.platform.store.set("Placement", "Fit");
    each.run();
    EXPECT_EQ(each.at(0, 159, 1), kViolet);
    EXPECT_EQ(each.at(0, 160, 1), kRed);
    EXPECT_EQ(each.at(0, 0), kViolet);
    EXPECT_EQ(each.at(0, 360), kRed);
}

TEST(PlacedShow, TheStillIsDecodedForTheLargestPlaceItTakes) {
    Show stretched;
    stretched.run();
    EXPECT_EQ(stretched.platform.decodeFloors, (std::vector<PixelSize>{{1280, 720}}));

    // Filled on a 1280x720 and a 640x480 monitor, an 800x600 picture is 1280x960 on the first.
    Show filled;
    filled.platform.monitors = {{0, 0, 1280, 720}, {-640, 240, 640, 480}};
    filled.platform.store.set("Placement", "Fill");
    filled.run();
    EXPECT_EQ(filled.platform.decodeFloors, (std::vector<PixelSize>{{1280, 960}}));

    // Spanned, the whole 1920x720 desk is the area.
    Show spanned;
    spanned.platform.monitors = filled.platform.monitors;
    spanned.platform.store.set("Monitors", "Span");
    spanned.run();
    EXPECT_EQ(spanned.platform.decodeFloors, (std::vector<PixelSize>{{1920, 720}}));
    EXPECT_EQ(spanned.at(0, 0, 1), kRed);
}

TEST(PlacedShow, HostedRunsTakeThePlacementSwitchAndIgnoreSpan) {
    EXPECT_EQ(ParseHostedRequest({"--root", "--placement", "FIT"}, "")->placement, PicturePlacement::Fit);
    const auto odd = ParseHostedRequest({"--root", "--placement=wide"}, "");
    EXPECT_FALSE(odd->placement);
    EXPECT_TRUE(odd->error.empty());
    EXPECT_FALSE(odd->notice.empty());

    Show hosted;
    hosted.platform.monitors = {{0, 0, 1280, 720}, {1280, 0, 1280, 720}};
    hosted.platform.store.set("Placement", "Fill");
    hosted.platform.store.set("Monitors", "Span");
    HostedRequest request = *ParseHostedRequest({"--window-id", "0x400001", "--placement", "fit"}, "");
    RunHosted(hosted.app, request);
    EXPECT_EQ(hosted.at(100, 100, 1), kViolet);
    EXPECT_EQ(hosted.at(200, 100, 1), kRed);
    EXPECT_EQ(hosted.platform.store.get("Placement"), "Fill");
}

// A host's --caption and --clock choose for the run over the stored choice, in the order given;
// an unknown word is left out with a notice, "none" is no caption, and outside hosted mode the
// options are a mistake as the other hosted ones are.
TEST(HostedOptions, CaptionAndClockChooseForTheRun) {
    using W = CaptionWord;
    const auto given = ParseHostedRequest({"--root", "--caption", "Name, date", "--clock", "--placement=blur"}, "");
    EXPECT_EQ(given->caption, (std::vector<W>{W::Name, W::Date}));
    EXPECT_EQ(given->clock, true);
    EXPECT_EQ(given->placement, PicturePlacement::Blur);
    EXPECT_TRUE(given->notice.empty() && given->error.empty());
    const auto none = ParseHostedRequest({"-root", "-caption=none", "--no-clock"}, "");
    EXPECT_EQ(none->caption, std::vector<W>{});
    EXPECT_EQ(none->clock, false);
    EXPECT_TRUE(none->notice.empty());
    const auto odd = ParseHostedRequest({"--root", "--caption", "date,weather"}, "");
    EXPECT_EQ(odd->caption, std::vector<W>{W::Date});
    EXPECT_NE(odd->notice.find("'weather'"), std::string::npos) << odd->notice;
    EXPECT_TRUE(odd->error.empty());
    const auto unset = ParseHostedRequest({"--root"}, "");
    EXPECT_FALSE(unset->caption || unset->clock);
    EXPECT_FALSE(ParseHostedRequest({"--window-id", "0x400001", "--caption"}, "")->error.empty());

    EXPECT_EQ(AnswerCommandLine({"--caption", "date"}, CliSystem::Posix)->status, 2);
    EXPECT_EQ(AnswerCommandLine({"--clock"}, CliSystem::Posix)->status, 2);
    EXPECT_FALSE(AnswerCommandLine({"--root", "--caption", "-weird", "--no-clock"}, CliSystem::Posix));

    Show hosted;
    hosted.platform.store.set("Caption", "folder");
    hosted.platform.store.set("Clock", "1");
    RunHosted(hosted.app, *ParseHostedRequest({"--window-id", "0x400001", "--caption", "place", "--no-clock"}, ""));
    const CaptionSetting read = ReadCaption(hosted.app);
    EXPECT_EQ(read.words, std::vector<W>{W::Place});
    EXPECT_FALSE(read.clock);
    EXPECT_EQ(hosted.platform.store.get("Caption"), "folder");
}

#include "support/setup_fixture.h"

using ShowTab = test::SetupDialogTest;

TEST_F(ShowTab, LoadsOneChoicePerGroupAndSavesItWithTheOthers) {
    platform.store.set("Placement", "FILL");
    platform.store.set("Monitors", "span");
    open();
    EXPECT_EQ(dlg.SSTab1.Tab(), 0);
    EXPECT_EQ(dlg.SSTab1.TabCaptions().back(), "Show");
    EXPECT_EQ(dlg.OptFill.Value() + dlg.OptStretch.Value() + dlg.OptFit.Value(), 1);
    EXPECT_EQ(dlg.OptFill.Value(), 1);
    EXPECT_EQ(dlg.OptSpan.Value(), 1);
    EXPECT_EQ(dlg.OptEach.Value(), 0);

    dlg.OptFit.setValue(1);  // as a click on it
    EXPECT_EQ(dlg.OptFill.Value(), 0);
    dlg.OptFit.setValue(0);  // a click on the chosen one keeps it chosen
    EXPECT_EQ(dlg.OptFit.Value(), 1);
    dlg.OptEach.setValue(1);
    EXPECT_EQ(dlg.OptSpan.Value(), 0);
    EXPECT_TRUE(platform.store.saveOrder.empty());
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.saveOrder.size(), 12u);
    EXPECT_EQ(platform.store.get("Placement"), "Fit");
    EXPECT_EQ(platform.store.get("Monitors"), "Each");
}

// An interval out of range is kept within 2..3600, one that is no number reads as 10, and so do
// switches.
TEST(SlideshowText, IntervalKeptInRangeAndSwitches) {
    const std::pair<const char*, int> intervals[] = {{"1", 2},     {"40000", 3600}, {"abc", 10},  {"2.5", 2},
                                                     {"3.5", 4},   {"99999999999", 3600}, {"", 10}, {" 60 ", 60},
                                                     {"-7", 2}};
    for (const auto& [stored, seconds] : intervals) EXPECT_EQ(IntervalFromText(stored), seconds) << stored;
    EXPECT_TRUE(SwitchFromText("", true));
    EXPECT_FALSE(SwitchFromText("0", true));
    EXPECT_TRUE(SwitchFromText("1", false));
    EXPECT_FALSE(SwitchFromText("on", false));
}

// The folder's settings show as stored, also out of range, and a save writes them back kept in
// range; typing in the interval field leaves what is typed alone until then.
TEST_F(ShowTab, TheFoldersSettingsShowAndSaveWithTheOthers) {
    platform.store.set("Interval", "40000");
    platform.store.set("Shuffle", "0");
    platform.store.set("Subfolders", "1");
    platform.store.set("Monitors", "Different");
    open();
    EXPECT_EQ(dlg.TxtInterval.Text(), "3600");
    EXPECT_EQ(dlg.ChkShuffle.Value(), 0);
    EXPECT_EQ(dlg.ChkFade.Value(), 1);
    EXPECT_EQ(dlg.ChkSubfolders.Value(), 1);
    EXPECT_EQ(dlg.OptDifferent.Value(), 1);
    EXPECT_EQ(dlg.OptEach.Value() + dlg.OptSpan.Value(), 0);

    dlg.TxtInterval.setText("1");
    EXPECT_EQ(dlg.TxtInterval.Text(), "1");
    dlg.TxtInterval.setText("12");
    dlg.ChkFade.setValue(0);
    dlg.OptSpan.setValue(1);
    EXPECT_EQ(dlg.OptDifferent.Value(), 0);
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("Interval"), "12");
    EXPECT_EQ(platform.store.get("Shuffle"), "0");
    EXPECT_EQ(platform.store.get("Fade"), "0");
    EXPECT_EQ(platform.store.get("Subfolders"), "1");
    EXPECT_EQ(platform.store.get("Monitors"), "Span");
}

// "Folder..." starts at the folder in the box, else where "Browse" would; the folder chosen
// replaces the box's text, and a cancel leaves it.
TEST_F(ShowTab, FolderButtonPutsTheChosenFolderInTheFileBox) {
    const std::string pictures = platform.dir.file("holiday"), elsewhere = platform.dir.path().string();
    std::filesystem::create_directories(pictures);
    platform.store.set("AniFile", " " + pictures + " ");
    open();
    dlg.CmdFolder.press();
    ASSERT_EQ(platform.folderStarts.size(), 1u);
    EXPECT_EQ(platform.folderStarts[0], pictures);
    EXPECT_EQ(dlg.txFile.Text(), " " + pictures + " ");

    dlg.txFile.setText(pictures + "/cat.gif");
    platform.folderAnswers.push_back(elsewhere);
    dlg.CmdFolder.press();
    EXPECT_EQ(platform.folderStarts[1], pictures);
    EXPECT_EQ(dlg.txFile.Text(), elsewhere);
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("AniFile"), elsewhere);
}

// "Captions and bars" shows the stored caption, clock and blurred copy; Cancel drops what was
// ticked, OK keeps the stored order of the words and adds the new ones after it, and asking for
// the blurred copy chooses "Whole picture". All of it is saved with the other settings.
TEST_F(ShowTab, CaptionsAndBarsShowTheStoredChoiceAndSaveWhatOkTakes) {
    platform.store.set("Placement", "blur");
    platform.store.set("Caption", "name, date");
    platform.store.set("Clock", "1");
    open();
    EXPECT_EQ(dlg.OptFit.Value(), 1);
    dlg.CmdCaptions.press();
    frmCaptions* captions = dlg.captionsForm();
    ASSERT_TRUE(captions && captions->Visible());
    EXPECT_EQ(captions->ChkName.Value() + captions->ChkDate.Value() + captions->ChkClock.Value(), 3);
    EXPECT_EQ(captions->ChkPlace.Value() + captions->ChkFolder.Value(), 0);
    EXPECT_EQ(captions->OptBlurBars.Value(), 1);
    captions->ChkPlace.setValue(1);
    captions->CmdCancel.press();
    EXPECT_FALSE(captions->Loaded());

    dlg.CmdCaptions.press();
    EXPECT_EQ(captions->ChkPlace.Value(), 0);
    captions->ChkFolder.setValue(1);
    captions->ChkDate.setValue(0);
    captions->ChkDate.setValue(1);
    captions->CmdOK.press();
    EXPECT_FALSE(captions->Loaded());
    EXPECT_TRUE(platform.store.saveOrder.empty());
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("Caption"), "name,date,folder");
    EXPECT_EQ(platform.store.get("Clock"), "1");
    EXPECT_EQ(platform.store.get("Placement"), "Blur");
}

TEST_F(ShowTab, ABlurredCopyChosenWithAnotherPlacementMakesItAWholePicture) {
    platform.store.set("Placement", "Fill");
    open();
    dlg.CmdCaptions.press();
    dlg.captionsForm()->OptBlurBars.setValue(1);
    EXPECT_EQ(dlg.captionsForm()->OptColorBars.Value(), 0);
    dlg.captionsForm()->CmdOK.press();
    EXPECT_EQ(dlg.OptFit.Value(), 1);
    EXPECT_EQ(dlg.OptFill.Value(), 0);
    dlg.OptStretch.setValue(1);  // a placement chosen afterwards stands
    EXPECT_TRUE(ends([&] { dlg.Command1.press(); }));
    EXPECT_EQ(platform.store.get("Placement"), "Stretch");
    EXPECT_EQ(platform.store.get("Caption"), "");
    EXPECT_EQ(platform.store.get("Clock"), "0");
}
