#include "saver/frmMain.h"

#include <cmath>

#include "platform/files/files.h"
#include "platform/modes.h"
#include "platform/picture/load_picture.h"
#include "platform/platform.h"
#include "platform/ui/units.h"
#include "settings/number_text.h"
#include "settings/settings.h"
#include "slideshow/folder_scan.h"
#include "setup/frmSetup2.h"
#include "startup/app.h"
#include "startup/hosted.h"
#include "startup/mod1.h"

namespace mv {

namespace {

// The animated path is chosen by the name alone, and only for an all-lower or all-upper "gif".
bool namesGif(const std::string& path) {
    const std::string trimmed = TrimBlanks(path);
    const std::string last = trimmed.size() > 3 ? trimmed.substr(trimmed.size() - 3) : trimmed;
    return last == "gif" || last == "GIF";
}

}  // namespace

frmMain::frmMain(App& app)
    : Form(app.platform, kCaption),
      AnimationTimer(app.platform, [this] { AnimationTimer_Timer(); }),
      SlideTimer(app.platform, [this] { SlideTimer_Timer(); }),
      FadeTimer(app.platform, [this] { FadeTimer_Timer(); }),
      OthersTimer(app.platform, [this] { OthersTimer_Timer(); }),
      CaptionTimer(app.platform, [this] { CaptionTimer_Timer(); }),
      MotionTimer(app.platform, [this] { MotionTimer_Timer(); }),
      app_(app) {
    setDesign(BorderStyle::None, ScaleMode::Pixels, 0x00000000, 1095, 1860, 2670, 2730);
    setWindowState(WindowState::Maximized);
    txFile.setVisible(false);
    Picture1.setVisible(false);
    AnimatedGIF(0).setVisible(false);
}

// Shows the window and paints the picture, or hands over to the setup dialog when there is no
// picture. `run` carries out each step in the caller's failure mode.
template <class Run>
void frmMain::displayOrSetup(Run&& run) {
    Platform& p = platform();
    if (Picture1.pictureHandle() != 0) {
        run([&] { Show(); });
        run([&] { showCursor(false); });
        run([&] { p.doEvents(); });
        if (!Loaded()) return;  // the show was ended by input handled just now
        run([&] { PaintPicture(paintable(), 0, 0, ScaleWidth(), ScaleHeight()); });
        return;
    }
    run([&] { showCursor(true); });
    run([&] { p.doEvents(); });
    if (!Loaded()) return;
    run([&] { openSetup(); });
}

void frmMain::displayOrSetupContinuing() {
    displayOrSetup([](auto&& step) { continueStep(step); });
}

// The host owns the pointer of a hosted show.
void frmMain::showCursor(bool show) {
    if (!app_.hosted) platform().showCursor(show);
}

// Where the user picks a picture. A hosted show has nobody to ask (its host may be a lock
// screen): it shows the background colour and says why in one line instead.
void frmMain::openSetup() {
    if (!app_.hosted) {
        app_.setupForm->Show();
        continueStep([&] { app_.setupForm->TellCouldNotShow(txFile.Text()); });
        return;
    }
    platform().report(HostedNoPictureReason(txFile.Text()));
    setBackColor(app_.bgColor);
    Show();
}

void frmMain::Form_Load() {
    Platform& p = platform();
    setWindowState(WindowState::Maximized);
    AutoRedraw = false;
    if (app_.saverUnloaded) return;

    continueStep([&] { txFile.setText(app_.hostedFile ? *app_.hostedFile : GetSetting(app_, kKeyAniFile)); });
    continueStep([&] { ReadBackColors(app_); });
    continueStep([&] { Picture1.setBackColor(app_.bgColor); });
    continueStep([&] { ReadMouseSens(app_); });
    continueStep([&] {
        PlacementSetting placed = ReadPlacement(app_);
        // A host gives a window per monitor, and its own options may choose the placement; the
        // layer surfaces are this program's own, one per output, so they span when asked to.
        if (app_.hosted)
            placed = {app_.hostedPlacement.value_or(placed.placement),
                      app_.hostedLayer == HostedLayer::None ? Monitors::Each : placed.monitors};
        placed_ = placed;
        setPlacement(placed.placement, placed.monitors);
    });
    continueStep([&] { startCaptions(); });
    continueStep([&] { startMotion(); });

    if (slides::IsFolder(TrimBlanks(txFile.Text()))) {
        startSlideshow(TrimBlanks(txFile.Text()));
        return;
    }

    continueStep([&] { captionPicture(TrimBlanks(txFile.Text())); });
    if (namesGif(txFile.Text())) {
        continueStep([&] { LoadAniGif(txFile.Text(), AnimatedGIF); });
        // Input handled while the frames were read may have ended the show already.
        if (!Loaded()) return;
        displayOrSetup([](auto&& step) { continueStep(step); });
        return;
    }

    continueStep([&] { AnimationTimer.setEnabled(false); });
    withFallback(
        [&] {
            const std::string trimmed = TrimBlanks(txFile.Text());
            if (files::fileLen(trimmed) < kMinStillBytes) {
                openSetup();
                return;
            }
            const Units units = Units::of(p);
            Move(0, 0, std::lround(units.twipsX(p.screenWidthPx())), std::lround(units.twipsY(p.screenHeightPx())));
            // Decoded for the window it is about to fill: a photo far larger than the screen
            // is read at a fraction of its size.
            // A still that drifts is read as large as its largest framing.
            ShownAreas shown = shownAreas(0, 0, ScaleWidth(), ScaleHeight());
            if (stillsMove()) shown.areas = MotionDecodeAreas(shown.areas, shown.placement);
            LoadedPicture loaded = LoadPictureOrFrames(p, txFile.Text(), shown);
            if (loaded.animation) {
                // An APNG or animated WebP, whatever its name, plays as a GIF does.
                LoadFrames(*loaded.animation, AnimatedGIF);
                if (!Loaded()) return;
                displayOrSetup([](auto&& step) { step(); });
                return;
            }
            Picture1.setPicture(std::move(loaded.still));
            backdrop_ = backdropFor(Picture1.Picture());
            stillMotion_ = makeMotion(*Picture1.Picture(), backdrop_, motionPeriod_);
            AutoRedraw = true;
            displayOrSetup([](auto&& step) { step(); });
            armMotion();
        },
        [&] { openSetup(); });
}

void frmMain::Form_Unload(int16_t&) {
    Platform& p = platform();
    showCursor(true);
    p.doEvents();
    app_.saverUnloaded = true;
    // The timer goes with the window; a tick must not paint a window that is gone.
    continueStep([&] { AnimationTimer.setEnabled(false); });
    continueStep([&] { CaptionTimer.setEnabled(false); });
    continueStep([&] { MotionTimer.setEnabled(false); });
    endSlideshow();
    // Not waited for: the window closes now, and the thread ends after the frame in hand.
    prefetch_.requestStop();
}

std::vector<anim::DrawSize> frmMain::drawSizes() const {
    std::vector<anim::DrawSize> sizes;
    if (WindowHost* h = host())
        for (const Surface& s : h->surfaces()) sizes.push_back({s.width, s.height});
    return sizes;
}

PictureImage frmMain::paintable() const {
    PictureImage image = Picture1.Image();
    if (drawn_.drawing && drawn_.of == image.picture) image.picture = drawn_.drawing;
    image.backdrop = backdrop_;
    image.motion = stillMotion_;
    return image;
}

BackdropPtr frmMain::backdropFor(const PicturePtr& picture) const {
    if (placed_.placement != PicturePlacement::Blur || !picture) return nullptr;
    return MakeBackdrop(*picture, shownAreas(0, 0, ScaleWidth(), ScaleHeight()).areas, Picture1.BackColor());
}

void frmMain::Form_Click() {
    AnimationTimer.setEnabled(false);
    files::fileTable().closeAll();
    EndSaver(app_);
}

void frmMain::Form_DblClick() {
    AnimationTimer.setEnabled(false);
    EndSaver(app_);
}

void frmMain::Form_KeyDown(int16_t, int16_t) {
    AnimationTimer.setEnabled(false);
    EndSaver(app_);
}

void frmMain::Form_KeyPress(int16_t) {
    AnimationTimer.setEnabled(false);
    EndSaver(app_);
}

void frmMain::Form_MouseDown(int16_t, int16_t, float, float) {
    AnimationTimer.setEnabled(false);
    EndSaver(app_);
}

void frmMain::Form_MouseMove(int16_t, int16_t, float x, float y) {
    const float dx = std::fabs(lastX - x);
    const float dy = std::fabs(lastY - y);
    if ((lastX == 0 && lastY == 0) || (dx < app_.mouseSens && dy < app_.mouseSens)) {
        lastX = x;
        lastY = y;
        return;
    }
    EndSaver(app_);
}

}  // namespace mv
