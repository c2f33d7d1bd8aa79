#include "platform/modes.h"
#include "platform/picture/gif/composed_picture.h"
#include "saver/frmMain.h"
#include "settings/number_text.h"

namespace mv {

// Each tick waits out the delay of the frame shown last, then shows the next; after the last
// frame it only wraps around, so the last frame stays for its own delay and the one before.
void frmMain::AnimationTimer_Timer() {
    withFallback(
        [&] {
            AnimationTimer.setInterval(ParseInt32(AnimatedGIF(currentFrame).Tag));
            if (currentFrame < lastFrame) {
                ++currentFrame;
                prefetch_.shown(static_cast<size_t>(currentFrame - 1));
                // Out of memory, the frames decoded for later are dropped so this one can be.
                retryAfterRelief(
                    [&] {
                        Picture1.setPicture(AnimatedGIF(currentFrame).Picture());
                        PaintPicture(Picture1.Image(), 0, 0, ScaleWidth(), ScaleHeight());
                    },
                    [&] {
                        stopDecodingAhead();
                        dropDecodedGifFrames();
                    });
            } else {
                currentFrame = 0;
            }
        },
        [&] { AnimationTimer.setEnabled(false); });
}

}  // namespace mv
