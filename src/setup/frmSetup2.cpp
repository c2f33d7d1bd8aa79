#include "setup/frmSetup2.h"

#include <cmath>

#include "platform/files/files.h"
#include "platform/modes.h"
#include "platform/platform.h"
#include "platform/ui/units.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "settings/placement_text.h"
#include "settings/slideshow_text.h"
#include "settings/settings.h"
#include "startup/app.h"

namespace mv {

frmSetup2::frmSetup2(App& app)
    : Form(app.platform, kCaption), CommonDialog1("CommonDialog1", app.platform), app_(app) {
    setDesign(BorderStyle::FixedDialog, ScaleMode::Twips, static_cast<int32_t>(0x8000000F), 3000, 1500, 4875, 2625);
    layout_ = makeLayout();
    applyDesign(*layout_);
    bindHandlers();
}

frmSetup2::~frmSetup2() = default;

void frmSetup2::bindHandlers() {
    Sensit.onChange = [this] { Sensit_Change(); };
    Text3.onChange = [this] { Text3_Change(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command5.onClick = [this] { Command5_Click(); };
    CmdFolder.onClick = [this] { CmdFolder_Click(); };
    CmdCaptions.onClick = [this] { CmdCaptions_Click(); };
    Command6.onClick = [this] { Command6_Click(); };
    HScroll1.onChange = [this] { HScroll1_Change(); };
    HScroll2.onChange = [this] { HScroll2_Change(); };
    HScroll3.onChange = [this] { HScroll3_Change(); };
    Label9.onMouseDown = [this](int16_t b, int16_t s, float x, float y) { Label9_MouseDown(b, s, x, y); };
    Label9.onMouseUp = [this](int16_t b, int16_t s, float x, float y) { Label9_MouseUp(b, s, x, y); };
    Label14.onMouseDown = [this](int16_t b, int16_t s, float x, float y) { Label14_MouseDown(b, s, x, y); };
    Label14.onMouseUp = [this](int16_t b, int16_t s, float x, float y) { Label14_MouseUp(b, s, x, y); };
    BindPlacementOptions();
}

void frmSetup2::Form_Load() {
    Platform& platform = app_.platform;
    continueStep([&] {
        // Worked out in single precision, as the window's own coordinates are.
        const Units units = Units::of(platform);
        const float screenW = static_cast<float>(units.twipsX(platform.screenWidthPx()));
        const float screenH = static_cast<float>(units.twipsY(platform.screenHeightPx()));
        const float left = screenW / 2.0f - static_cast<float>(Width()) / 2.0f;
        const float top = screenH / 2.0f - static_cast<float>(Height()) / 2.0f;
        Move(std::lround(left), std::lround(top));
    });
    continueStep([&] { txFile.setText(GetSetting(app_, kKeyAniFile)); });
    continueStep([&] { ReadMouseSens(app_); });
    continueStep([&] { Sensit.setText(IntText(app_.mouseSens)); });
    continueStep([&] { ReadBackColors(app_); });
    continueStep([&] { Picture1.setBackColor(app_.bgColor); });
    continueStep([&] { Label2.setCaption(IntText(app_.bgColor)); });
    continueStep([&] { ShowPlacement(ReadPlacement(app_)); });
    continueStep([&] { ShowSlideshow(ReadSlideshow(app_)); });
    continueStep([&] { ShowCaption(ReadCaption(app_)); });
    continueStep([&] { captions_.motion = ReadMotion(app_).on; });
    continueStep([&] { ShowFolderLine(); });
    continueStep([&] { Show(); });
    continueStep([&] { platform.showCursor(true); });
    continueStep([&] { platform.doEvents(); });
}

void frmSetup2::KeepInRange(TextBox& field) {
    const double v = LeadingNumber(field.Text());
    if (v < 1) {
        field.setText("1");
    } else if (v > 30) {
        field.setText("30");
    }
}

void frmSetup2::Sensit_Change() { KeepInRange(Sensit); }
void frmSetup2::Text3_Change() { KeepInRange(Text3); }

void frmSetup2::Command1_Click() {
    // The values go in one replacement of the store where it can do that, so a failure
    // leaves the stored settings as they were, and the dialog stays open to say so: the user
    // can try again or close it.
    // What the foot said no longer holds once the settings are being saved.
    LabelSaveFailed.setVisible(false);
    const bool saved = withFallback(
        [&] {
            const PlacementSetting placed = ChosenPlacement();
            const SlideshowSetting slides = ChosenSlideshow();
            SaveSettings(app_, {{kKeyAniFile, TrimBlanks(txFile.Text())},
                                {kKeyMouseSens, NumberText(LeadingNumber(Sensit.Text()))},
                                {kKeyBackColors, IntText(app_.bgColor)},
                                {kKeyPlacement, PlacementText(placed.placement)},
                                {kKeyMonitors, MonitorsText(placed.monitors)},
                                {kKeyInterval, IntText(slides.intervalSeconds)},
                                {kKeyShuffle, SwitchText(slides.shuffle)},
                                {kKeyFade, SwitchText(slides.fade)},
                                {kKeySubfolders, SwitchText(slides.subfolders)},
                                {kKeyCaption, CaptionWordsText(captions_.words)},
                                {kKeyClock, SwitchText(captions_.clock)},
                                {kKeyMotion, SwitchText(captions_.motion)}});
        },
        [&] { TellSaveFailed(); });
    if (!saved) return;
    withFallback(
        [&] {
            app_.mainForm->Unload();
            Unload();
        },
        [&] {
            Unload();
            app_.platform.terminate();
        });
}

namespace {

// One line within the dialog's width on every build: a long path keeps its end, from a folder
// separator on, since that names the file.
constexpr size_t kFootChars = 60;
std::string fitPath(const std::string& path, size_t textChars) {
    const size_t room = kFootChars > textChars + 4 ? kFootChars - textChars : 4;
    if (path.size() <= room) return path;
    const size_t cut = path.find_first_of("/\\", path.size() - (room - 3));
    return "..." + (cut == std::string::npos ? path.substr(path.size() - (room - 3)) : path.substr(cut));
}

}  // namespace

void frmSetup2::TellSaveFailed() {
    const std::string before = "Settings not saved to ";
    TellAtFoot(before + fitPath(SettingsLocation(app_), before.size() + 1) + ".");
}

void frmSetup2::TellCouldNotShow(const std::string& path) {
    if (TrimBlanks(path).empty()) return;
    if (!files::exists(path)) {
        const std::string before = "Could not show ", after = ": no such file";
        TellAtFoot(before + fitPath(path, before.size() + after.size()) + after);
        return;
    }
    const std::string after = files::isFolder(path) ? " holds no picture Marvoscope can read" : " is not a picture Marvoscope can read";
    TellAtFoot(fitPath(path, after.size()) + after);
}

void frmSetup2::TellAtFoot(const std::string& line) {
    LabelSaveFailed.setCaption(line);
    LabelSaveFailed.setVisible(true);
    // The line lies on the "File" page, beside the path it is about.
    SSTab1.setTab(0);
}

void frmSetup2::Command2_Click() {
    // The delay in seconds before the show would start; nothing uses it yet, so it is not kept.
    const double minutes = LeadingNumber(Text3.Text());
    [[maybe_unused]] const double delay = minutes < 1 ? 0.0 : minutes * 60 - 20;
}

void frmSetup2::Command6_Click() {
    app_.mainForm->Unload();
    Unload();
    app_.platform.terminate();
}

void frmSetup2::Form_Unload(int16_t&) {
    app_.mainForm->Unload();
    app_.platform.showCursor(true);
    app_.platform.doEvents();
    app_.platform.terminate();
}

}  // namespace mv
