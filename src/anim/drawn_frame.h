#pragma once
// A frame drawn ahead, away from the user-interface thread, at the size of every surface it is
// to be painted on: painting it there is a copy, however large the frame's own picture is.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/picture/picture.h"

namespace mv::anim {

struct DrawSize {
    int width = 0, height = 0;
    bool operator==(const DrawSize&) const = default;
};

class DrawnFrame final : public Picture {
public:
    // `source` stretched to each of `sizes` over `backColor`, as painting it there would.
    DrawnFrame(const Picture& source, const std::vector<DrawSize>& sizes, int32_t backColor);
    int width() const override { return width_; }
    int height() const override { return height_; }
    // A copy where a drawing of the rectangle's size exists; otherwise the nearest drawing is
    // stretched, so that no frame's own picture is ever touched here.
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;
    const std::vector<DrawSize>& sizes() const { return sizes_; }

private:
    int width_, height_;
    std::vector<DrawSize> sizes_;
    std::vector<std::shared_ptr<const RgbPicture>> drawings_;  // one per size
};

}  // namespace mv::anim
