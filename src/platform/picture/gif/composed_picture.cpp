#include "platform/picture/gif/composed_picture.h"

#include <algorithm>
#include <cstring>

#include "platform/picture/resample.h"

namespace mv {
namespace {

using Canvas = std::vector<uint32_t>;

// Canvases kept outside the cache's budget, so that stepping to the next frame never composes
// from the start, even when one canvas is larger than the whole budget: the one painted last,
// and the one beneath it while the next frame is to be drawn over that again (disposal 3).
struct KeptCanvas {
    const void* owner = nullptr;
    gif::Buffer<uint32_t> canvas;
    bool own = false;  // made here, not shared with the cache: the next frame may draw over it
};
struct Kept {
    KeptCanvas last, beneath;
    // Composed canvases go to the cache too, for a loop whose canvases all fit it; otherwise
    // only these two are kept, and the next frame is drawn over the last one in place.
    bool cached = true;
};
Kept& kept() {
    static auto* k = new Kept;  // never destroyed, like the cache
    return *k;
}

bool coversCanvasOpaquely(const gif::GifImage& img) {
    return img.transparentIndex < 0 && img.left == 0 && img.top == 0 && img.width >= img.canvasWidth &&
           img.height >= img.canvasHeight;
}

struct Span {
    int x0, y0, x1, y1;
};
Span clipped(const gif::GifImage& img) {
    return {std::max(0, img.left), std::max(0, img.top), std::min(img.canvasWidth, img.left + img.width),
            std::min(img.canvasHeight, img.top + img.height)};
}

void clearRect(Canvas& canvas, const gif::GifImage& img) {
    const Span s = clipped(img);
    for (int y = s.y0; y < s.y1; ++y) {
        uint32_t* row = canvas.data() + static_cast<size_t>(y) * static_cast<size_t>(img.canvasWidth);
        std::fill(row + s.x0, row + std::max(s.x0, s.x1), 0u);
    }
}

// Draws the frame's image at its offset, clipped to the canvas; transparent pixels leave
// what is beneath.
void draw(Canvas& canvas, const GifPicture& frame) {
    const auto& img = frame.image();
    const Span s = clipped(img);
    if (s.x0 >= s.x1 || s.y0 >= s.y1) return;
    const gif::Indices indices = frame.indices();
    if (indices->size() < static_cast<size_t>(img.width) * static_cast<size_t>(s.y1 - img.top)) return;
    const uint32_t* palette = img.palette->data();
    const int transparent = img.transparentIndex;
    for (int y = s.y0; y < s.y1; ++y) {
        const uint8_t* src = indices->data() + static_cast<size_t>(y - img.top) * static_cast<size_t>(img.width) +
                             static_cast<size_t>(s.x0 - img.left);
        uint32_t* out = canvas.data() + static_cast<size_t>(y) * static_cast<size_t>(img.canvasWidth);
        if (transparent < 0) {
            for (int x = s.x0; x < s.x1; ++x) out[x] = palette[*src++];
        } else {
            for (int x = s.x0; x < s.x1; ++x, ++src)
                if (*src != transparent) out[x] = palette[*src];
        }
    }
}

}  // namespace

ComposedGifPicture::ComposedGifPicture(std::shared_ptr<const GifPicture> frame,
                                       std::shared_ptr<const ComposedGifPicture> under, bool clearUnder)
    : frame_(std::move(frame)), under_(std::move(under)), clearUnder_(clearUnder) {
    const auto& img = frame_->image();
    if (under_ && (under_->width() != width() || under_->height() != height())) under_.reset();
    standalone_ = !under_ || coversCanvasOpaquely(img);
    if (standalone_ && img.disposal != 3) under_.reset();
}

ComposedGifPicture::~ComposedGifPicture() {
    gif::indexCache().forget(this);
    if (kept().last.owner == this) kept().last = {};
    if (kept().beneath.owner == this) kept().beneath = {};
    // A long animation is one long chain of frames; release it without recursing down it.
    auto next = std::move(under_);
    while (next && next.use_count() == 1) next = std::move(next->under_);
}

size_t ComposedGifPicture::decodedBytes() const {
    const size_t own = standalone_ ? 0 : static_cast<size_t>(width()) * static_cast<size_t>(height()) * sizeof(uint32_t);
    return frame_->decodedBytes() + own;
}

gif::Buffer<uint32_t> ComposedGifPicture::canvas() const {
    Kept& k = kept();
    if (k.last.owner == this) return k.last.canvas;
    if (k.beneath.owner == this) return k.beneath.canvas;
    if (k.cached)
        k.last = {this, gif::indexCache().get<uint32_t>(this, [this] { return std::move(*compose()); }), false};
    else
        k.last = {this, compose(), true};
    return k.last.canvas;
}

std::shared_ptr<std::vector<uint32_t>> ComposedGifPicture::compose() const {
    // Walk down to a canvas that is known (kept or cached) or to a frame that stands alone,
    // then draw the frames above it back up in order.
    Kept& k = kept();
    std::vector<const ComposedGifPicture*> pending;
    std::shared_ptr<std::vector<uint32_t>> canvas;
    for (const ComposedGifPicture* p = this;;) {
        if (p != this) {
            const gif::Buffer<uint32_t> known = k.last.owner == p      ? k.last.canvas
                                                : k.beneath.owner == p ? k.beneath.canvas
                                                                       : gif::indexCache().peek<uint32_t>(p);
            if (known) {
                // The frame after this one is drawn over the same canvas again: it stays whole.
                if (frame_->image().disposal == 3 && p == under_.get() && k.beneath.owner != p)
                    k.beneath = k.last.owner == p ? k.last : KeptCanvas{p, known, false};
                if (k.last.owner == p && k.last.own && k.last.canvas.use_count() == 2) {
                    // Nobody but the slot (and `known`) holds the last canvas: draw over it in place.
                    k.last = {};
                    canvas = std::const_pointer_cast<std::vector<uint32_t>>(known);
                } else {
                    canvas = std::make_shared<std::vector<uint32_t>>(*known);
                }
                break;
            }
        }
        pending.push_back(p);
        if (p->standalone_) {
            canvas = std::make_shared<std::vector<uint32_t>>(static_cast<size_t>(width()) * static_cast<size_t>(height()), 0u);
            break;
        }
        p = p->under_.get();
    }
    for (auto it = pending.rbegin(); it != pending.rend(); ++it) {
        const ComposedGifPicture& node = **it;
        if (!node.standalone_ && node.clearUnder_) clearRect(*canvas, node.under_->frame_->image());
        draw(*canvas, *node.frame_);
    }
    return canvas;
}

// The canvas stretched as stills are, its transparent pixels taking the background colour.
void ComposedGifPicture::stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const {
    if (standalone_) return frame_->stretchTo(dst, x, y, w, h, backColor);
    // Nothing to decode or compose when the rectangle misses the target.
    if (missesTarget(dst, x, y, w, h)) return;
    const uint32_t bg = colorToPixel(backColor);
    const gif::Buffer<uint32_t> pixels = canvas();
    const int cw = width();
    resampleInto(dst, x, y, w, h, cw, height(), [&](int cy, uint32_t* out) -> const uint32_t* {
        const uint32_t* src = pixels->data() + static_cast<size_t>(cy) * static_cast<size_t>(cw);
        for (int cx = 0; cx < cw; ++cx) out[cx] = src[cx] ? src[cx] : bg;
        return out;
    });
}

PicturePtr composeGifFrame(const PicturePtr& previous, const PicturePtr& frame) {
    auto gifFrame = std::dynamic_pointer_cast<const GifPicture>(frame);
    if (!gifFrame) return frame;
    std::shared_ptr<const ComposedGifPicture> under;
    bool clear = false;
    if (auto prev = std::dynamic_pointer_cast<const ComposedGifPicture>(previous)) {
        switch (prev->frame_->image().disposal) {
            case 2: under = prev; clear = true; break;
            case 3: under = prev->under_; clear = prev->clearUnder_; break;
            default: under = prev; break;
        }
    }
    return std::make_shared<ComposedGifPicture>(std::move(gifFrame), std::move(under), clear);
}

void dropDecodedGifFrames() {
    kept().last = {};
    kept().beneath = {};
    gif::indexCache().clear();
}

void cacheComposedCanvases(bool cached) {
    kept().cached = cached;
    if (!cached) kept().beneath = {};
}

}  // namespace mv
