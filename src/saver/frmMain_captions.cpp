// What the show writes over its pictures: the caption of each picture and the clock. The
// overlay draws them into every paint; this part says what they are and when they change.
#include <chrono>
#include <ctime>

#include "caption/caption_says.h"
#include "caption/date_pattern.h"
#include "platform/modes.h"
#include "platform/platform.h"
#include "saver/frmMain.h"
#include "startup/app.h"

namespace mv {

namespace {

// A caption on a picture that stays moves on after this many minutes, so that no pixel of it
// burns in.
constexpr int kCornerMinutes = 3;

// Until just after the next minute's turn on the wall clock.
long msToNextMinute() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 60000;
    return 60000 - static_cast<long>(ms) + 20;
}

}  // namespace

void frmMain::startCaptions() {
    const CaptionSetting setting = ReadCaption(app_);
    if (!setting.any()) return;
    captions_ = std::make_unique<CaptionsOverlay>(platform(), setting);
    datePattern_ = CaptionDatePattern(platform().longDatePattern());
    captions_->setClockPattern(ClockPattern(platform().shortTimePattern()));
    setOverlay([this](Bitmap& pixels, size_t surface, const PixelRect& area, const PixelRect& placed) {
        captions_->draw(pixels, surface, area, placed);
    });
    captions_->updateClock();
    armCaptionTimer();
}

void frmMain::captionPicture(const std::string& path) {
    if (!captions_ || captions_->words().empty()) return;
    captions_->setCaption(0, CaptionSays(captions_->words(), ReadPhotoFacts(path), [&](const CalendarDay& d) {
        return platform().formatDate(datePattern_, d.year, d.month, d.day);
    }));
}

// Each picture of a slideshow has its caption in the next corner.
void frmMain::captionSlide(const PreparedSlide& slide) {
    if (slideCaptioned_) {
        slideCaptioned_ = false;
        return;
    }
    if (!captions_) return;
    captions_->turnCorner();
    captions_->setCaption(0, slide.caption, slide.captionLabels);
    minutesOnCorner_ = 0;
}

void frmMain::armCaptionTimer() {
    // With a clock, at each minute's turn; without, once a minute is enough to move the caption.
    CaptionTimer.setInterval(captions_->clock() ? msToNextMinute() : 60000);
    CaptionTimer.setEnabled(true);
}

void frmMain::CaptionTimer_Timer() {
    CaptionTimer.setEnabled(false);
    if (!captions_ || !Loaded()) return;
    bool changed = captions_->updateClock();
    if (++minutesOnCorner_ >= kCornerMinutes) {
        minutesOnCorner_ = 0;
        captions_->turnCorner();
        changed = true;
    }
    // A fade paints its own pictures, which have theirs already.
    if (changed && !FadeTimer.Enabled()) continueStep([&] { repaintOverlay(); });
    armCaptionTimer();
}

}  // namespace mv
