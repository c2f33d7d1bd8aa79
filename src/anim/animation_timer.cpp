#include "platform/modes.h"
#include "platform/picture/gif/composed_picture.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"

namespace mv {

namespace {
// How soon a tick looks again for a frame the second thread has not drawn yet.
constexpr unsigned kDrawnPollMs = 10;
}  // namespace

// Each tick waits out the delay of the frame shown last, then shows the next; after the last
// frame it only wraps around, so the last frame stays for its own delay and the one before.
void frmMain::AnimationTimer_Timer() {
    withFallback(
        [&] {
            AnimationTimer.setInterval(ParseInt32(AnimatedGIF(currentFrame).Tag));
            if (playsOver_) {
                // The last frame stays; the loop's time is still counted for a slideshow's change.
                if (currentFrame < lastFrame) {
                    ++currentFrame;
                } else {
                    currentFrame = 0;
                    if (slideshow() && loopsLeft_ > 0 && --loopsLeft_ == 0) changeSlide();
                }
                return;
            }
            if (currentFrame < lastFrame) {
                PicturePtr drawing;
                if (prefetch_.drawing()) {
                    prefetch_.retarget({drawSizes(), Picture1.BackColor()});
                    drawing = prefetch_.takeDrawn(static_cast<size_t>(currentFrame));
                    if (!drawing) {
                        // Not drawn yet: the frame on screen stays a little longer, rather than
                        // this tick drawing it while input waits.
                        AnimationTimer.setInterval(kDrawnPollMs);
                        return;
                    }
                }
                ++currentFrame;
                prefetch_.shown(static_cast<size_t>(currentFrame - 1));
                // Out of memory, the frames decoded for later are dropped so this one can be.
                retryAfterRelief(
                    [&] {
                        Picture1.setPicture(AnimatedGIF(currentFrame).Picture());
                        drawn_ = {Picture1.Picture(), drawing};
                        PaintPicture(paintable(), 0, 0, ScaleWidth(), ScaleHeight());
                    },
                    [&] {
                        stopDecodingAhead();
                        dropDecodedGifFrames();
                    });
            } else {
                currentFrame = 0;
                if (playsLeft_ > 0 && --playsLeft_ == 0) {
                    playsOver_ = true;
                    stopDecodingAhead();
                    // Alone on screen, the animation has nothing left to time.
                    if (!slideshow()) AnimationTimer.setEnabled(false);
                }
                // A slideshow changes at the end of a loop, once the interval has passed.
                if (slideshow() && loopsLeft_ > 0 && --loopsLeft_ == 0) changeSlide();
            }
        },
        [&] { AnimationTimer.setEnabled(false); });
}

}  // namespace mv
