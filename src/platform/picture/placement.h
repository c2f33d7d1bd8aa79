#pragma once
// Where a picture lands in the area it is shown in: stretched to the area's shape, whole with
// bars beside it (flat, or filled with a blurred copy of it), or covering the area with the
// overflow cut off. Plain geometry, so the saver
// window, the hosted show and a decoder choosing its size all work it out the same way.
#include <vector>

namespace mv {

// Blur places the picture as Fit does; only what fills the bars differs.
enum class PicturePlacement { Stretch, Fit, Fill, Blur };
// Each monitor shows the whole picture, or one picture spans the rectangle holding them all; or,
// for a folder of pictures, each monitor shows a picture of its own (one picture: as Each).
enum class Monitors { Each, Span, Different };

// Device pixels; x and y may be negative (a monitor left of or above the primary one, or the
// cut-off part of a filled picture).
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct PixelSize {
    int width = 0, height = 0;
    bool operator==(const PixelSize&) const = default;
};

// The rectangle a picW x picH picture takes in `area`. Stretch gives the area itself; Fit (and Blur) scale
// by the smaller ratio and Fill by the larger one, both keeping proportions, rounding sizes to
// whole pixels and centring (rounding down). A side is never less than one pixel; a picture or
// area without pixels gives the area.
PixelRect PlacePicture(int picW, int picH, const PixelRect& area, PicturePlacement mode);

// The smallest rectangle holding every one of `parts`; all zero when there are none.
PixelRect BoundingRect(const std::vector<PixelRect>& parts);

// A paint of the rectangle (x, y, w, h), given in the pixels of a primary surface of
// baseW x baseH, lands on every surface scaled to its own size; spanned, it is scaled to the
// rectangle holding all surfaces instead. Gives, per surface and in that surface's own pixels,
// the area the picture is placed in.
struct PaintRect {
    double x = 0, y = 0, w = 0, h = 0;
};
std::vector<PixelRect> PaintAreas(const std::vector<PixelRect>& surfaces, Monitors monitors, const PaintRect& paint,
                                  double baseW, double baseH);

// Where pictures are about to be shown: their areas, one per surface, and how they meet them.
struct ShownAreas {
    std::vector<PixelRect> areas;
    PicturePlacement placement = PicturePlacement::Stretch;
};
// The largest width and the largest height a picW x picH picture takes in any of the areas;
// all zero when there are none.
PixelSize ShownSize(int picW, int picH, const ShownAreas& shown);

}  // namespace mv
