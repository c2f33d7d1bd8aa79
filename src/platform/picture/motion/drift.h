#pragma once
// A slow pan and zoom over a placed picture: the framings it passes through, one every period,
// and where the picture lands at each moment between two of them. Gentle by design: a zoom of
// at most 15 %, steps that shrink with a short period, eased in and out so that each drift
// starts and ends at rest, and each pan heading away from the last one's direction.
#include <cstdint>
#include <vector>

#include "platform/picture/motion/moving_scene.h"
#include "platform/picture/placement.h"

namespace mv {

// How far a picture is zoomed and panned. `zoom` is relative to the placed size: 1 to 1.15
// under Fill and Blur (it moves within the picture), 1/1.15 to 1 under Fit (the whole picture
// moves within its bars). `u` and `v`, -1 to 1, say where in the room left on each axis it is.
struct Framing {
    double zoom = 1.0;
    double u = 0.0, v = 0.0;
};

constexpr double kMaxZoom = 1.15;

// Whether pictures placed so move at all (Stretch keeps its shape and does not).
bool PlacementMoves(PicturePlacement placement);

// The zoom's range for a placement.
double LeastZoom(PicturePlacement placement);
double MostZoom(PicturePlacement placement);

// Where the picture lands in `area` at `framing`, given where the placement put it. On an axis
// where the zoomed picture reaches past the area it still covers it; on one where it is
// narrower it stays inside.
RectD FramedRect(const PixelRect& area, const PixelRect& placed, const Framing& framing);

// The framing `t` (0 to 1) of the way from `from` to `to`, eased in and out; the zoom changes
// at a steady ratio.
Framing FramingBetween(const Framing& from, const Framing& to, double t);

// The framings a picture passes through: the first as placed, each next one a step from the
// last. The same seed gives the same framings.
class DriftPlan {
public:
    DriftPlan(PicturePlacement placement, double periodSeconds, uint64_t seed);
    double periodSeconds() const { return period_; }
    // The k-th framing (k >= 0); drift k runs from framing k to framing k + 1.
    Framing framing(size_t k);

private:
    PicturePlacement placement_;
    double period_;
    uint64_t state_;
    double heading_ = 0.0;
    std::vector<Framing> framings_;
    double next01();
};

}  // namespace mv
