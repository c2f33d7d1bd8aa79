#pragma once
// A cross-fade between two pictures of whole monitors: what each monitor showed, and what it
// is to show next, blended at one step of the fade.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/picture/backdrop.h"
#include "platform/picture/picture.h"
#include "platform/picture/placement.h"

namespace mv {

// `picture` placed in a w x h monitor over `backColor`, or with its bars from `backdrop`, as a
// paint there would show it. `over` draws what goes over the placed picture (its caption), given
// the area and where the picture landed in it.
using DrawOver = std::function<void(Bitmap&, const PixelRect& area, const PixelRect& placed)>;
std::shared_ptr<const RgbPicture> RenderPlaced(const Picture& picture, int w, int h, PicturePlacement placement,
                                               int32_t backColor, const Backdrop* backdrop = nullptr,
                                               const DrawOver& over = {});

// One step of a fade. Painted stretched onto a monitor, it blends the first `from` and `to`
// pictures of that monitor's size (the first pair when none matches) at `weight` (0 is all
// `from`).
class FadePicture final : public Picture {
public:
    using Pictures = std::vector<std::shared_ptr<const RgbPicture>>;
    FadePicture(std::shared_ptr<const Pictures> from, std::shared_ptr<const Pictures> to, double weight);
    int width() const override;
    int height() const override;
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override;

private:
    std::shared_ptr<const Pictures> from_, to_;
    uint32_t weight_;  // 0..256
};

}  // namespace mv
