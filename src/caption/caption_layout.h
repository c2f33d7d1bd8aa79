#pragma once
// Where a caption and the clock sit on a shown picture: in opposite corners of the part of the
// picture that is seen (never in a bar), a little in from its edges, at a size that follows the
// picture's, the corners turning from picture to picture so that no pixel burns in.
#include "platform/picture/placement.h"

namespace mv {

enum class Corner { BottomLeft, BottomRight, TopRight, TopLeft };

// The corner after `c` in the turn, the next one round the picture: the caption visits all four,
// and neither it nor the clock (opposite it) lands where either was, so a fade never blends two
// texts into one another.
Corner NextCorner(Corner c);
Corner OppositeCorner(Corner c);

// What is seen of a placed picture in its area: the two rectangles' common part.
PixelRect SeenPart(const PixelRect& placed, const PixelRect& area);

// The font's size for text over `seen`: about 2.5 % of its height, never below 10 pixels.
int CaptionPixelSize(const PixelRect& seen);
// The widest a label may be over `seen`: its width less the margins.
int CaptionMaxWidth(const PixelRect& seen);

// Where a w x h label's top-left corner goes in corner `c` of `seen`: 2 % of its height in from
// both edges; a label larger than `seen` is cut on its far side.
struct PixelPoint {
    int x = 0, y = 0;
    bool operator==(const PixelPoint&) const = default;
};
PixelPoint CaptionPosition(const PixelRect& seen, int w, int h, Corner c);

}  // namespace mv
