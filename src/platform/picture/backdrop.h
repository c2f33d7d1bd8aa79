#pragma once
// What fills the bars beside a whole picture in the blurred placement: the same picture
// covering the area, blurred and darkened so the picture itself stands out. Made once per
// picture at a fraction of the area's size, and enlarged only where a bar is painted.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture/bitmap.h"
#include "platform/picture/placement.h"

namespace mv {

class Picture;

// Brightness left in the backdrop, in 1/256: about 55 %.
constexpr uint32_t kBackdropBrightness = 141;

// `picture` covering a w x h area (as Fill places it, over `backColor`), blurred and darkened,
// at a reduced size of the same shape: about 128 pixels on the shorter side, 1024 at most on
// the longer, whatever the picture's or the area's size.
Bitmap BlurredFill(const Picture& picture, int w, int h, int32_t backColor);

class Backdrop {
public:
    // One copy per distinct area size that the picture, placed whole, leaves bars in.
    Backdrop(const Picture& picture, const std::vector<PixelRect>& areas, int32_t backColor);
    // Paints the part of `area` that `placed` leaves uncovered, clipped to dst, from the copy
    // made for the area's size (the nearest one when the area changed since).
    void paintBars(Bitmap& dst, const PixelRect& area, const PixelRect& placed) const;
    bool empty() const { return copies_.empty(); }
    size_t bytes() const;

private:
    struct Copy {
        PixelSize area;
        Bitmap pixels;
    };
    std::vector<Copy> copies_;
};
using BackdropPtr = std::shared_ptr<const Backdrop>;

// A backdrop of `picture` for the areas, or null when it fills every one of them exactly (no
// bars to fill) or there is no memory for it (the bars then take the background colour).
BackdropPtr MakeBackdrop(const Picture& picture, const std::vector<PixelRect>& areas, int32_t backColor);

}  // namespace mv
