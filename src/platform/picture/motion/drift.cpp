#include "platform/picture/motion/drift.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

constexpr double kPi = 3.14159265358979323846;
// A drift this long or longer may use the whole zoom and the whole room; a shorter one a
// share of it, so that the picture never moves faster than a few pixels a second.
constexpr double kFullStepSeconds = 30.0;

// The left (or top) edge of an extent `length` on an axis of the area at position `u`.
double edgeAt(double areaFrom, double areaLength, double length, double u) {
    const double room = areaLength - length;  // negative: the picture reaches past the area
    return areaFrom + room * (1.0 + u) / 2.0;
}

}  // namespace

bool PlacementMoves(PicturePlacement placement) { return placement != PicturePlacement::Stretch; }

double LeastZoom(PicturePlacement placement) { return placement == PicturePlacement::Fit ? 1.0 / kMaxZoom : 1.0; }

double MostZoom(PicturePlacement placement) { return placement == PicturePlacement::Fit ? 1.0 : kMaxZoom; }

RectD FramedRect(const PixelRect& area, const PixelRect& placed, const Framing& f) {
    const double w = placed.width * f.zoom, h = placed.height * f.zoom;
    return {edgeAt(area.x, area.width, w, f.u), edgeAt(area.y, area.height, h, f.v), w, h};
}

Framing FramingBetween(const Framing& from, const Framing& to, double t) {
    t = std::clamp(t, 0.0, 1.0);
    const double e = (1.0 - std::cos(kPi * t)) / 2.0;
    return {from.zoom * std::pow(to.zoom / from.zoom, e), from.u + (to.u - from.u) * e, from.v + (to.v - from.v) * e};
}

DriftPlan::DriftPlan(PicturePlacement placement, double periodSeconds, uint64_t seed)
    : placement_(placement), period_(std::max(1.0, periodSeconds)), state_(seed ^ 0x9E3779B97F4A7C15ull) {
    // As the placement shows it: the first frame is the still picture without motion.
    framings_.push_back({placement == PicturePlacement::Fit ? 1.0 : 1.0, 0.0, 0.0});
    heading_ = next01() * 2.0 * kPi;
}

// splitmix64: small, and the same on every compiler, unlike the standard distributions.
double DriftPlan::next01() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 9007199254740992.0;
}

Framing DriftPlan::framing(size_t k) {
    const double share = std::min(1.0, period_ / kFullStepSeconds);
    const double least = LeastZoom(placement_), most = MostZoom(placement_);
    const double span = std::log(most / least);
    while (framings_.size() <= k) {
        const Framing& last = framings_.back();
        // The zoom swings towards the far end of its range, by a share of it.
        const double at = std::log(last.zoom / least) / span;  // 0 to 1
        const double step = share * (0.6 + 0.4 * next01());
        const double to = at < 0.5 ? std::min(1.0, at + step) : std::max(0.0, at - step);
        // A new heading a quarter to three quarters of a turn from the last one.
        heading_ += kPi / 2.0 + next01() * kPi;
        double u = last.u + 1.2 * share * std::cos(heading_);
        double v = last.v + 1.2 * share * std::sin(heading_);
        if (std::abs(u) > 1.0 || std::abs(v) > 1.0) {
            // Against an edge: back the other way instead of sliding along it.
            heading_ += kPi;
            u = last.u + 1.2 * share * std::cos(heading_);
            v = last.v + 1.2 * share * std::sin(heading_);
        }
        framings_.push_back({least * std::exp(span * to), std::clamp(u, -1.0, 1.0), std::clamp(v, -1.0, 1.0)});
    }
    return framings_[k];
}

}  // namespace mv
