#pragma once
// A still picture that drifts while it is shown: its framings over time, and the pictures a
// frame is made of on each surface, made once (ahead, on the thread that decoded it, where it
// can) and then only placed anew for every frame.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/picture/backdrop.h"
#include "platform/picture/motion/drift.h"
#include "platform/picture/motion/moving_scene.h"
#include "platform/picture/picture.h"

namespace mv {

class PictureMotion {
public:
    using Clock = std::chrono::steady_clock;
    // One drift per period; `seed` chooses the framings.
    PictureMotion(PicturePlacement placement, int32_t backColor, BackdropPtr backdrop, double periodSeconds,
                  uint64_t seed);

    // The pictures for these areas (as PaintAreas gives them, on surfaces of these sizes) made
    // now from `picture`, at the size the largest framing needs there and no larger than the
    // picture itself. The picture is not kept.
    void prepare(const Picture& picture, const std::vector<PixelRect>& areas, const std::vector<PixelSize>& surfaces);

    // The frame on a surface of `surface` size at `now`: `area` and `placed` as a paint places
    // the picture. The drifts start at the first frame asked for.
    MovingScene scene(size_t index, const PixelRect& area, const PixelRect& placed, PixelSize surface, Clock::time_point now);

    // Told of each drift as it begins on a surface: its index, when, and where the picture
    // lands at its start and end (for tracing the motion).
    using DriftSeen = std::function<void(size_t surface, Clock::time_point start, double periodSeconds,
                                         PixelSize picture, const RectD& from, const RectD& to)>;
    void onDrift(DriftSeen seen) { seen_ = std::move(seen); }

    size_t bytes() const;

private:
    std::shared_ptr<const Bitmap> sourceFor(const PixelRect& placed) const;
    std::shared_ptr<const Bitmap> underFor(const PixelRect& area, PixelSize surface);

    PicturePlacement placement_;
    int32_t backColor_;
    BackdropPtr backdrop_;
    DriftPlan plan_;
    std::optional<Clock::time_point> start_;
    std::vector<std::shared_ptr<const Bitmap>> sources_;
    struct Under {
        PixelRect area;
        PixelSize surface;
        std::shared_ptr<const Bitmap> pixels;
    };
    std::vector<Under> unders_;
    std::vector<size_t> driftsSeen_;  // by surface: drifts told of so far
    DriftSeen seen_;
};
using PictureMotionPtr = std::shared_ptr<PictureMotion>;

// The areas a picture is decoded for when it moves: as large as its largest framing.
std::vector<PixelRect> MotionDecodeAreas(const std::vector<PixelRect>& areas, PicturePlacement placement);

}  // namespace mv
