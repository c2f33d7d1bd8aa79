#include "saver/slide_fade.h"

#include <algorithm>

namespace mv {

std::shared_ptr<const RgbPicture> RenderPlaced(const Picture& picture, int w, int h, PicturePlacement placement,
                                               int32_t backColor, const Backdrop* backdrop, const DrawOver& over) {
    Bitmap pixels;
    pixels.resize(w, h, colorToPixel(backColor));
    const PixelRect placed = PlacePicture(picture.width(), picture.height(), {0, 0, w, h}, placement);
    if (backdrop) backdrop->paintBars(pixels, {0, 0, w, h}, placed);
    picture.stretchTo(pixels, placed.x, placed.y, placed.width, placed.height, backColor);
    if (over) over(pixels, {0, 0, w, h}, placed);
    return std::make_shared<const RgbPicture>(std::move(pixels));
}

FadePicture::FadePicture(std::shared_ptr<const Pictures> from, std::shared_ptr<const Pictures> to, double weight)
    : from_(std::move(from)), to_(std::move(to)),
      weight_(static_cast<uint32_t>(std::clamp(weight, 0.0, 1.0) * 256.0 + 0.5)) {}

int FadePicture::width() const { return from_->empty() ? 0 : from_->front()->width(); }
int FadePicture::height() const { return from_->empty() ? 0 : from_->front()->height(); }

void FadePicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    const size_t n = std::min(from_->size(), to_->size());
    if (n == 0) return;
    size_t at = 0;
    for (size_t i = n; i-- > 0;)
        if ((*from_)[i]->width() == w && (*from_)[i]->height() == h) at = i;
    const Bitmap& a = (*from_)[at]->pixels();
    const Bitmap& b = (*to_)[at]->pixels();
    if (a.width != w || a.height != h || b.width != w || b.height != h || x != 0 || y != 0 || dst.width != w ||
        dst.height != h) {
        // Not a whole monitor of the pictures' size: the picture it fades to, stretched.
        (*to_)[at]->stretchTo(dst, x, y, w, h, backColor);
        return;
    }
    // Byte by byte over whole rows (alpha stays 0xFF: 255 * 256 >> 8), a loop the compiler
    // turns into vector instructions.
    const uint16_t wb = static_cast<uint16_t>(weight_), wa = static_cast<uint16_t>(256 - weight_);
    const size_t bytes = static_cast<size_t>(w) * 4;
    for (int row = 0; row < h; ++row) {
        const auto* pa = reinterpret_cast<const uint8_t*>(a.row(row));
        const auto* pb = reinterpret_cast<const uint8_t*>(b.row(row));
        auto* out = reinterpret_cast<uint8_t*>(dst.row(row));
        for (size_t i = 0; i < bytes; ++i) out[i] = static_cast<uint8_t>((pa[i] * wa + pb[i] * wb) >> 8);
    }
}

}  // namespace mv
