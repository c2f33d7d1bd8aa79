#pragma once
// How much of an animation's decoding is kept between its paints: the whole loop when it fits a
// modest budget, so that later rounds only paint; otherwise only the few frames ahead of the
// one on screen, since a cache smaller than the loop would miss on every frame anyway.
#include <cstddef>
#include <vector>

#include "anim/drawn_frame.h"
#include "platform/picture/gif/index_cache.h"
#include "platform/picture/picture.h"

namespace mv::anim {

// Decoded frames and composed canvases of a loop up to this size are kept for the next round.
using gif::kLoopBudgetBytes;
// A longer loop keeps this many frames decoded ahead of the one on screen.
constexpr size_t kFramesAhead = 2;

struct DecodePlan {
    size_t cacheBytes = kLoopBudgetBytes;  // the decoded-frame cache's budget
    bool canvasesCached = true;            // composed canvases cached for the next round
    size_t framesAhead = 0;                // frames decoded ahead on the second thread
};

// The plan for a loop of frames, in playing order.
DecodePlan planDecoding(const std::vector<PicturePtr>& loop);

// Stretching a frame over the screen costs about its own pixels plus the screen's. Beyond this
// many, that is more than the user-interface thread may spend between two inputs, so the frames
// are drawn on the second thread and the timer's ticks only copy them.
constexpr int64_t kTickPixelBudget = int64_t{12} << 20;
bool drawsAhead(const std::vector<PicturePtr>& frames, const std::vector<DrawSize>& sizes);

}  // namespace mv::anim
