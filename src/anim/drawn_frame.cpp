#include "anim/drawn_frame.h"

#include <cstdlib>

namespace mv::anim {

DrawnFrame::DrawnFrame(const Picture& source, const std::vector<DrawSize>& sizes, int32_t backColor)
    : width_(source.width()), height_(source.height()), sizes_(sizes) {
    for (const DrawSize& s : sizes_) {
        Bitmap pixels;
        pixels.resize(s.width, s.height, colorToPixel(backColor));
        source.stretchTo(pixels, 0, 0, s.width, s.height, backColor);
        drawings_.push_back(std::make_shared<const RgbPicture>(std::move(pixels)));
    }
}

void DrawnFrame::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    if (drawings_.empty()) return;
    size_t best = 0;
    long bestMiss = -1;
    for (size_t i = 0; i < sizes_.size(); ++i) {
        const long miss = std::labs(long{sizes_[i].width} - w) + std::labs(long{sizes_[i].height} - h);
        if (bestMiss < 0 || miss < bestMiss) {
            best = i;
            bestMiss = miss;
        }
    }
    drawings_[best]->stretchTo(dst, x, y, w, h, backColor);
}

}  // namespace mv::anim
