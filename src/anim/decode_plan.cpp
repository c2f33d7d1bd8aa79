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

bool drawsAhead(const std::vector<PicturePtr>& frames, const std::vector<DrawSize>& sizes) {
    int64_t screen = 0, largest = 0;
    for (const DrawSize& s : sizes) screen += int64_t{s.width} * s.height;
    for (const PicturePtr& picture : frames)
        if (picture) largest = std::max(largest, int64_t{picture->width()} * picture->height());
    return largest + screen > kTickPixelBudget;
}

}  // namespace mv::anim
