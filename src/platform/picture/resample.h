#pragma once
// The one stretch every picture is painted with: bilinear where it grows, area averaging where
// it shrinks, so a GIF frame and a still of the same pixels look the same on screen.
#include <cstdint>
#include <functional>

#include "platform/picture/bitmap.h"

namespace mv {

// Gives source row `sy` as opaque 0xFFRRGGBB pixels: either a pointer to pixels the picture
// already holds in that form, or `scratch` (room for the source width) filled with them.
// Transparent pixels are expected to have taken the background colour already.
using SourceRows = std::function<const uint32_t*(int sy, uint32_t* scratch)>;

// Stretches a srcW x srcH picture, read row by row through `rows`, into the rectangle
// (x, y, w, h) of dst, clipped to dst. Width and height scale independently.
void resampleInto(Bitmap& dst, int x, int y, int w, int h, int srcW, int srcH, const SourceRows& rows);

// A part of a destination, from its left and top edges up to (not including) right and bottom.
struct Clip {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// As resampleInto, but only the pixels of dst inside `clip` are written.
void resampleClipped(Bitmap& dst, const Clip& clip, int x, int y, int w, int h, int srcW, int srcH,
                     const SourceRows& rows);

// Whether the rectangle (x, y, w, h) leaves nothing of dst to paint: then a picture need not
// decode or compose anything.
bool missesTarget(const Bitmap& dst, int x, int y, int w, int h);

}  // namespace mv
