#pragma once
// How long each picture of a slideshow stays. A still stays the interval; an animation plays
// whole loops until the interval has passed, so it never changes mid-loop, except that a loop
// longer than a minute is cut after a minute.
#include <cstdint>

namespace mv::slides {

inline constexpr int kMinIntervalSeconds = 2;
inline constexpr int kMaxIntervalSeconds = 3600;
inline constexpr int kDefaultIntervalSeconds = 10;
inline constexpr long kLongestLoopMs = 60000;
// How long a change fades from the old picture to the new one.
inline constexpr long kFadeMs = 1000;

struct Stay {
    int loops = 0;     // whole loops an animation plays; 0 for a still
    long cutMs = 0;    // the picture changes this long after it showed, whatever the loops (0: never)
};

// `loopMs` is the sum of an animation's frame delays, 0 for a still.
Stay StayFor(long intervalMs, long loopMs);

}  // namespace mv::slides
