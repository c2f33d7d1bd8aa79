#pragma once
// Where a picture lands in the area it is shown in: stretched to the area's shape, whole with
// bars beside it, or covering the area with the overflow cut off. Plain geometry, so the saver
// window, the hosted show and a decoder choosing its size all work it out the same way.
#include <vector>

namespace mv {

enum class PicturePlacement { Stretch, Fit, Fill };
// Each monitor shows the whole picture, or one picture spans the rectangle holding them all.
enum class Monitors { Each, Span };

// Device pixels; x and y may be negative (a monitor left of or above the primary one, or the
// cut-off part of a filled picture).
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

// The rectangle a picW x picH picture takes in `area`. Stretch gives the area itself; Fit scales
// by the smaller ratio and Fill by the larger one, both keeping proportions, rounding sizes to
// whole pixels and centring (rounding down). A side is never less than one pixel; a picture or
// area without pixels gives the area.
PixelRect PlacePicture(int picW, int picH, const PixelRect& area, PicturePlacement mode);

// The smallest rectangle holding every one of `parts`; all zero when there are none.
PixelRect BoundingRect(const std::vector<PixelRect>& parts);

}  // namespace mv
