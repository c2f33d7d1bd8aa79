#include "anim/played_frames.h"

#include "settings/number_text.h"

namespace mv::anim {

long PlayedDelayMs(long fileMs) { return fileMs <= 10 ? 100 : fileMs; }

void StoreFrames(const ComposedFrames& composed, ControlArray<PictureBox>& frames) {
    for (size_t k = 0; k < composed.frames.size(); ++k) {
        const long index = static_cast<long>(k);
        if (k >= 1) frames.Load(index);
        frames(index).Tag = IntText(PlayedDelayMs(composed.delaysMs[k]));
        frames(index).setPicture(composed.frames[k]);
    }
}

}  // namespace mv::anim
