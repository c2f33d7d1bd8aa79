#include "saver/slide_fade.h"

#include <algorithm>

namespace mv {

std::shared_ptr<const RgbPicture> RenderPlaced(const Picture& picture, int w, int h, PicturePlacement placement,
                                               int32_t backColor) {
    Bitmap pixels;
    pixels.resize(w, h, colorToPixel(backColor));
    const PixelRect placed = PlacePicture(picture.width(), picture.height(), {0, 0, w, h}, placement);
    picture.stretchTo(pixels, placed.x, placed.y, placed.width, placed.height, backColor);
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
    const uint32_t wb = weight_, wa = 256 - weight_;
    for (int row = 0; row < h; ++row) {
        const uint32_t* pa = a.row(row);
        const uint32_t* pb = b.row(row);
        uint32_t* out = dst.row(row);
        for (int col = 0; col < w; ++col) {
            const uint32_t ca = pa[col], cb = pb[col];
            // Red and blue together, then green: two multiplies a pixel.
            const uint32_t rb = (((ca & 0xFF00FFu) * wa + (cb & 0xFF00FFu) * wb) >> 8) & 0xFF00FFu;
            const uint32_t g = (((ca & 0x00FF00u) * wa + (cb & 0x00FF00u) * wb) >> 8) & 0x00FF00u;
            out[col] = 0xFF000000u | rb | g;
        }
    }
}

}  // namespace mv
