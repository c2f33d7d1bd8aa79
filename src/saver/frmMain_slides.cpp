// The slideshow of a folder: each picture shown as a single one would be, the next one made
// ready on the second thread, and the change made by one timer tick (or at an animation's
// loop end), as a cut or a cross-fade.
#include <algorithm>
#include <chrono>
#include <cmath>

#include "platform/modes.h"
#include "platform/platform.h"
#include "platform/ui/units.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"
#include "settings/slideshow_text.h"
#include "slideshow/show_timing.h"
#include "startup/app.h"
#include "startup/hosted.h"

namespace mv {

namespace {
// How soon the change looks again for a next picture that is not ready yet.
constexpr long kNotReadyPollMs = 250;
// A fade step every 30 ms: over 30 steps a second on Windows' 15.6 ms clock too, and no more
// work than a 30-fps animation of the screen's size.
constexpr long kFadeStepMs = 30;
// How long the first picture may take before the window comes up without it: long enough for
// the scan of an empty folder to tell, short beside the start of the program itself.
constexpr std::chrono::milliseconds kWindowWaitsFor{20};
}  // namespace

void frmMain::startSlideshow(const std::string& folder) {
    Platform& p = platform();
    continueStep([&] { AnimationTimer.setEnabled(false); });
    SlideshowSetting set;
    continueStep([&] { set = ReadSlideshow(app_); });
    slideIntervalMs_ = set.intervalSeconds * 1000L;
    if (!app_.hostedInterval)
        continueStep([&] {
            const std::string note = IntervalNote(GetSetting(app_, kKeyInterval));
            if (!note.empty()) p.report("Marvoscope: " + note);
        });
    slideFade_ = set.fade;
    continueStep([&] {
        const Units units = Units::of(p);
        Move(0, 0, std::lround(units.twipsX(p.screenWidthPx())), std::lround(units.twipsY(p.screenHeightPx())));
    });
    slides::ScanOptions scan;
    scan.subfolders = set.subfolders;
    continueStep([&] { scan.moreSuffixes = p.morePictureSuffixes(); });
    slides_ = std::make_unique<SlidePreparer>(p, folder, scan, set.shuffle, slideTarget());
    // The first picture found that reads is shown while the scan goes on. One slow to come has
    // the window up in the background colour meanwhile, so that input ends the show at once; a
    // folder that proves empty straight away still opens the setup dialog.
    const auto start = std::chrono::steady_clock::now();
    bool shownEarly = false;
    std::optional<PreparedSlide> first;
    while (!(first = slides_->take()) && !slides_->nothingToShow()) {
        if (!shownEarly && std::chrono::steady_clock::now() - start >= kWindowWaitsFor) {
            shownEarly = true;
            continueStep([&] { setBackColor(app_.bgColor); });
            continueStep([&] { Show(); });
            if (Visible()) continueStep([&] { showCursor(false); });
        }
        slides_->waitReady(10);
        p.doEvents();
        if (!Loaded()) return;  // input ended the show meanwhile
    }
    if (first) continueStep([&] { showSlide(std::move(*first)); });
    if (!first || !Picture1.Picture()) endSlideshow();
    if (!Visible())
        displayOrSetupContinuing();
    else if (!Picture1.Picture())
        // The window is up already: it stays in the background colour until input ends it.
        continueStep([&] { p.report(HostedNoPictureReason(txFile.Text())); });
    if (!Loaded() || !Visible() || !slides_ || placed_.monitors != Monitors::Different) return;
    // The other monitors start on the same picture and change in turn, spread over the interval.
    const size_t n = surfaceCount();
    for (size_t i = 1; i < n; ++i) othersLeftMs_.push_back(slideIntervalMs_ * static_cast<long>(i) / static_cast<long>(n));
    armOthers();
}

void frmMain::armOthers() {
    if (othersLeftMs_.empty()) return;
    othersArmedMs_ = std::clamp<long>(*std::min_element(othersLeftMs_.begin(), othersLeftMs_.end()), 1, 65535);
    OthersTimer.setInterval(othersArmedMs_);
    OthersTimer.setEnabled(true);
}

// A monitor but the first shows a still, or an animation's first frame, for the interval.
void frmMain::OthersTimer_Timer() {
    OthersTimer.setEnabled(false);
    if (!slides_ || !Loaded()) return;
    for (size_t k = 0; k < othersLeftMs_.size(); ++k) {
        othersLeftMs_[k] -= othersArmedMs_;
        if (othersLeftMs_[k] > 0) continue;
        std::optional<PreparedSlide> next = slides_->take();
        if (!next) {
            othersLeftMs_[k] = kNotReadyPollMs;
            continue;
        }
        const PicturePtr picture = next->firstDrawn ? next->firstDrawn : next->frames.empty() ? nullptr : next->frames.front();
        if (captions_) captions_->setCaption(k + 1, next->caption, std::move(next->captionLabels));
        if (next->motion) traceMotion(*next->motion);
        if (picture) continueStep([&] { setSurfaceImage(k + 1, {picture, Picture1.BackColor(), next->backdrop, next->motion}); });
        othersLeftMs_[k] = slideIntervalMs_;
    }
    armOthers();
    armMotion();
}

void frmMain::endSlideshow() {
    continueStep([&] { SlideTimer.setEnabled(false); });
    continueStep([&] { FadeTimer.setEnabled(false); });
    continueStep([&] { OthersTimer.setEnabled(false); });
    if (slides_) slides_->requestStop();
}

SlideTarget frmMain::slideTarget() const {
    SlideTarget t;
    if (WindowHost* h = host())
        for (const Surface& s : h->surfaces()) t.surfaces.push_back({s.x, s.y, s.width, s.height});
    t.placement = placed_.placement;
    t.monitors = placed_.monitors;
    t.backColor = Picture1.BackColor();
    if (captions_) {
        t.caption = captions_->words();
        t.datePattern = datePattern_;
    }
    // A drift lasts the slide's whole time on screen: its interval and its fade in.
    t.motion = stillsMove();
    t.motionSeconds = (slideIntervalMs_ + (slideFade_ ? slides::kFadeMs : 0)) / 1000.0;
    t.motionSeed = motionSeed_ + 0x5bd1e995u;
    return t;
}

// Puts the picture on screen as a single one is shown: a still until its time is up, an
// animation through startAnimation for whole loops.
void frmMain::showSlide(PreparedSlide slide, bool fadedInto) {
    if (slide.frames.empty() || !slide.frames.front()) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    prefetch_.stop();
    AnimationTimer.setEnabled(false);
    SlideTimer.setEnabled(false);
    for (int i = AnimatedGIF.Count() - 1; i >= 1; --i) AnimatedGIF.Unload(i);
    drawn_ = {};
    backdrop_ = slide.backdrop;
    loopsLeft_ = 0;
    shownPath_ = slide.path;
    shownStamp_ = slide.stamp;
    captionSlide(slide);
    auto arm = [&](long ms) {
        SlideTimer.setInterval(std::min<long>(ms, 65535));
        SlideTimer.setEnabled(true);
    };
    stillMotion_ = slide.animated() ? nullptr : slide.motion;
    if (stillMotion_ && !fadedInto) traceMotion(*stillMotion_);
    if (!slide.animated()) {
        AnimatedGIF(0).setPicture(nullptr);
        Picture1.setPicture(slide.frames.front());
        if (Visible()) PaintPicture(paintable(), 0, 0, ScaleWidth(), ScaleHeight());
        armMotion();
        arm(slides::StayFor(slideIntervalMs_, 0).cutMs);
        return;
    }
    armMotion();
    long loopMs = 0;
    for (size_t k = 0; k < slide.frames.size(); ++k) {
        if (k >= 1) AnimatedGIF.Load(static_cast<long>(k));
        AnimatedGIF(static_cast<long>(k)).Tag = IntText(slide.delaysMs[k]);
        AnimatedGIF(static_cast<long>(k)).setPicture(slide.frames[k]);
        loopMs += slide.delaysMs[k];
    }
    startAnimation(AnimatedGIF, slide.firstDrawn, slide.loops);
    if (!AnimationTimer.Enabled()) {
        // One or two frames show still, as a single GIF of them does.
        arm(slideIntervalMs_);
        return;
    }
    const slides::Stay stay = slides::StayFor(slideIntervalMs_, loopMs);
    loopsLeft_ = stay.loops;
    if (stay.cutMs > 0) arm(stay.cutMs);
}

void frmMain::SlideTimer_Timer() {
    SlideTimer.setEnabled(false);
    changeSlide();
}

void frmMain::changeSlide() {
    if (!slides_ || !Loaded()) return;
    // Held before the take, so that the thread does not begin the picture after it meanwhile.
    const bool fading = slideFade_ && Visible();
    if (fading) slides_->hold(true);
    std::optional<PreparedSlide> next = slides_->take();
    if (!next) {
        slides_->hold(false);
        // Not ready (a slow disk, or the folder emptied): the picture on screen stays a little.
        SlideTimer.setInterval(kNotReadyPollMs);
        SlideTimer.setEnabled(true);
        return;
    }
    if (!next->animated() && next->path == shownPath_ && next->stamp == shownStamp_ && !AnimationTimer.Enabled()) {
        slides_->hold(false);
        // A folder of one still: it stays as it is, without a fade into itself.
        SlideTimer.setInterval(std::min<long>(slideIntervalMs_, 65535));
        SlideTimer.setEnabled(true);
        return;
    }
    const bool faded = fading && continueStep([&] { startFade(*next); });
    if (faded) return;
    slides_->hold(false);
    if (next) continueStep([&] { showSlide(std::move(*next)); });
}

// The fade runs between what each monitor shows now and the new picture placed on it; a
// picture spanning the monitors changes with a cut.
void frmMain::startFade(PreparedSlide& next) {
    if (placed_.monitors == Monitors::Span || next.frames.empty() || !next.frames.front() || surfaceCount() == 0)
        throw PlatformError(ErrInvalidPicture, "No fade");
    auto from = std::make_shared<FadePicture::Pictures>();
    auto to = std::make_shared<FadePicture::Pictures>();
    const int32_t back = Picture1.BackColor();
    const Picture& first = next.firstDrawn ? *next.firstDrawn : *next.frames.front();
    // Moving pictures go on moving through the fade, each with the caption it had.
    fade_.fromImages.clear();
    for (size_t i = 0; i < surfaceCount(); ++i) fade_.fromImages.push_back(surfaceImage(i));
    if (captions_) fade_.fromCaptions = std::make_shared<CaptionsOverlay>(*captions_);
    fade_.toImage = {next.firstDrawn ? next.firstDrawn : next.frames.front(), back, next.backdrop, next.motion};
    if (next.motion) traceMotion(*next.motion);
    // The picture faded to has its caption already, as it will be shown.
    captionSlide(next);
    slideCaptioned_ = true;
    if (captions_) fade_.toCaptions = std::make_shared<CaptionsOverlay>(*captions_);
    auto caption = [this](Bitmap& pixels, const PixelRect& area, const PixelRect& placed) {
        if (captions_) captions_->draw(pixels, 0, area, placed);
    };
    for (size_t i = 0; i < surfaceCount(); ++i) {
        const Bitmap& shown = backing(i);
        if (shown.empty()) throw PlatformError(ErrInvalidPicture, "No fade");
        from->push_back(std::make_shared<const RgbPicture>(Bitmap(shown)));
        if (next.motion)
            to->push_back(motionFrame(fade_.toImage, i, shown.width, shown.height, fade_.toCaptions.get()));
        else
            to->push_back(RenderPlaced(first, shown.width, shown.height, placed_.placement, back, next.backdrop.get(), caption));
    }
    if (captions_) captions_->setDrawing(false);
    prefetch_.stop();
    AnimationTimer.setEnabled(false);
    fade_.from = std::move(from);
    fade_.to = std::move(to);
    fade_.next = std::move(next);
    fade_.start = std::chrono::steady_clock::now();
    fade_.steps = 0;
    FadeTimer.setInterval(kFadeStepMs);
    FadeTimer.setEnabled(true);
}

void frmMain::FadeTimer_Timer() {
    if (!fade_.next || !Loaded()) {
        FadeTimer.setEnabled(false);
        if (captions_) captions_->setDrawing(true);
        if (slides_) slides_->hold(false);
        return;
    }
    // Real time, so late ticks do not stretch the fade; and never slower than the ticks' own
    // count, which is all a clock that only the ticks move has.
    const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - fade_.start).count();
    const double t = std::max(elapsed, static_cast<double>(++fade_.steps * kFadeStepMs)) / static_cast<double>(slides::kFadeMs);
    if (t >= 1.0) {
        FadeTimer.setEnabled(false);
        if (slides_) slides_->hold(false);
        PreparedSlide next = std::move(*fade_.next);
        fade_ = {};
        if (captions_) captions_->setDrawing(true);
        continueStep([&] { showSlide(std::move(next), true); });
        return;
    }
    continueStep([&] { moveFade(); });
    const bool painted = continueStep([&] {
        // The blend covers each whole monitor: painted stretched, it lands pixel for pixel.
        setPlacement(PicturePlacement::Stretch, Monitors::Each);
        PaintPicture({std::make_shared<const FadePicture>(fade_.from, fade_.to, t), Picture1.BackColor(), nullptr}, 0, 0,
                     ScaleWidth(), ScaleHeight());
    });
    setPlacement(placed_.placement, placed_.monitors);
    if (!painted) fade_.start = {};  // the next tick ends the fade with the picture itself
}

}  // namespace mv
