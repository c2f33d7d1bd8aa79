#pragma once
// How a caption or the clock looks over a photo: near-white text on a soft dark shadow, so that
// it reads on a white sky and a black night alike; and how it is laid over a picture.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/picture/bitmap.h"
#include "platform/platform.h"

namespace mv {

// Premultiplied 0xAARRGGBB pixels, the shadow's margin around the text included.
struct CaptionLabel {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};
using CaptionLabelPtr = std::shared_ptr<const CaptionLabel>;

// The label of a line the platform drew at `pixelSize`; empty for empty text.
CaptionLabel MakeCaptionLabel(const TextCoverage& text, int pixelSize);

// A line's label at `pixelSize`, no wider than `maxWidth`: a longer line is cut, with "…" where
// it ends. Empty where the platform draws no text.
CaptionLabel FitCaptionLabel(Platform& platform, const std::string& text, int pixelSize, int maxWidth);

// Labels made once and looked up by what they show and how large.
struct CaptionLabelKey {
    std::string text;
    int pixelSize = 0, maxWidth = 0;
    bool operator==(const CaptionLabelKey&) const = default;
};
struct KeyedCaptionLabel {
    CaptionLabelKey key;
    CaptionLabelPtr label;
};

// Lays the label over dst with its top-left corner at (x, y), clipped to dst.
void DrawCaptionLabel(Bitmap& dst, const CaptionLabel& label, int x, int y);

}  // namespace mv
