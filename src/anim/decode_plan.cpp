#include "anim/decode_plan.h"

#include <algorithm>

#include "platform/picture/gif/composed_picture.h"

namespace mv::anim {

DecodePlan planDecoding(const std::vector<PicturePtr>& loop) {
    size_t total = 0, largestFrame = 0;
    for (const PicturePtr& picture : loop) {
        if (!picture) continue;
        total += picture->decodedBytes();
        // Only the frame's own decoding is cached ahead; its composed canvas is made when painted.
        const auto* composed = dynamic_cast<const ComposedGifPicture*>(picture.get());
        largestFrame = std::max(largestFrame, composed ? composed->frame().decodedBytes() : picture->decodedBytes());
    }
    if (total <= kLoopBudgetBytes) return {kLoopBudgetBytes, true, loop.size()};
    // The frames ahead, the one on screen and the one the tick may still be painting.
    return {(kFramesAhead + 2) * largestFrame, false, kFramesAhead};
}

}  // namespace mv::anim
