#pragma once
// Native scroll bars count from 0 upwards; a design range may run either way (Min above Max
// turns the bar round). These map between the two and apply one scroll request.
#include <algorithm>
#include <cstdlib>

namespace mv {

// The scroll request codes of WM_HSCROLL / WM_VSCROLL (SB_LINEUP ... SB_ENDSCROLL).
enum ScrollCode : int {
    kLineBack = 0, kLineForward = 1, kPageBack = 2, kPageForward = 3, kThumbPosition = 4, kThumbTrack = 5,
    kToStart = 6, kToEnd = 7, kEndScroll = 8,
};

inline int scrollSpan(int min, int max) { return std::abs(max - min); }

inline int scrollPosition(int min, int max, int value) {
    return std::clamp(min <= max ? value - min : min - value, 0, scrollSpan(min, max));
}

// The value a request leads to. A thumb drag changes the value only when it is let go.
inline int scrollTarget(int min, int max, int value, int smallChange, int largeChange, int code, int thumb) {
    int pos = scrollPosition(min, max, value);
    switch (code) {
    case kLineBack: pos -= smallChange; break;
    case kLineForward: pos += smallChange; break;
    case kPageBack: pos -= largeChange; break;
    case kPageForward: pos += largeChange; break;
    case kThumbPosition: pos = thumb; break;
    case kToStart: pos = 0; break;
    case kToEnd: pos = scrollSpan(min, max); break;
    default: return value;
    }
    pos = std::clamp(pos, 0, scrollSpan(min, max));
    return min <= max ? min + pos : min - pos;
}

}  // namespace mv
