#include "anim/played_frames.h"
#include "saver/frmMain.h"

namespace mv {

// An APNG or animated WebP plays as an animated GIF does, from frames already read.
void frmMain::LoadFrames(const ComposedFrames& composed, ControlArray<PictureBox>& xImgArray) {
    AnimatedGIF(0).setPicture(nullptr);
    AnimationTimer.setEnabled(false);
    prefetch_.stop();
    for (int i = xImgArray.Count() - 1; i >= 1; --i) xImgArray.Unload(i);
    anim::StoreFrames(composed, xImgArray);
    backdrop_ = backdropFor(xImgArray(0).Picture());
    startAnimation(xImgArray, nullptr, composed.loops);
}

}  // namespace mv
