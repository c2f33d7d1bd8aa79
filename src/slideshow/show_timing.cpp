#include "slideshow/show_timing.h"

namespace mv::slides {

Stay StayFor(long intervalMs, long loopMs) {
    if (loopMs <= 0) return {0, intervalMs};
    if (loopMs > kLongestLoopMs) return {1, kLongestLoopMs};
    const long loops = (intervalMs + loopMs - 1) / loopMs;
    return {static_cast<int>(loops < 1 ? 1 : loops), 0};
}

}  // namespace mv::slides
