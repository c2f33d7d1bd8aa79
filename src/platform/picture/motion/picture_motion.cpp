#include "platform/picture/motion/picture_motion.h"

#include <algorithm>
#include <cmath>

namespace mv {

namespace {

// The size a picture needs to be drawn from at `placed`: its largest framing, never more than
// it has.
PixelSize sourceSize(int picW, int picH, const PixelRect& placed, PicturePlacement placement) {
    const double most = MostZoom(placement);
    const double w = std::min<double>(picW, std::ceil(placed.width * most));
    const double h = std::min<double>(picH, std::ceil(placed.height * most));
    // One scale for both sides, so that the picture keeps its shape.
    const double scale = std::min(w / picW, h / picH);
    return {std::max(1, static_cast<int>(std::lround(picW * scale))), std::max(1, static_cast<int>(std::lround(picH * scale)))};
}

std::shared_ptr<const Bitmap> drawnAt(const Picture& picture, PixelSize size, int32_t backColor) {
    auto b = std::make_shared<Bitmap>();
    b->resize(size.width, size.height, colorToPixel(backColor));
    picture.stretchTo(*b, 0, 0, size.width, size.height, backColor);
    for (uint32_t& p : b->pixels) p |= 0xFF000000u;
    return b;
}

}  // namespace

PictureMotion::PictureMotion(PicturePlacement placement, int32_t backColor, BackdropPtr backdrop, double periodSeconds,
                             uint64_t seed)
    : placement_(placement), backColor_(backColor), backdrop_(std::move(backdrop)), plan_(placement, periodSeconds, seed) {}

void PictureMotion::prepare(const Picture& picture, const std::vector<PixelRect>& areas, const std::vector<PixelSize>& surfaces) {
    for (size_t i = 0; i < areas.size(); ++i) {
        const PixelRect placed = PlacePicture(picture.width(), picture.height(), areas[i], placement_);
        const PixelSize size = sourceSize(picture.width(), picture.height(), placed, placement_);
        const bool have = std::any_of(sources_.begin(), sources_.end(), [&](const auto& s) {
            return s->width == size.width && s->height == size.height;
        });
        if (!have) sources_.push_back(drawnAt(picture, size, backColor_));
        if (i < surfaces.size()) underFor(areas[i], surfaces[i]);
    }
    // The largest first: a size not made ahead is drawn from it.
    std::sort(sources_.begin(), sources_.end(), [](const auto& a, const auto& b) { return a->width > b->width; });
}

std::shared_ptr<const Bitmap> PictureMotion::sourceFor(const PixelRect& placed) const {
    if (sources_.empty()) return nullptr;
    // The smallest made that the largest framing does not enlarge, else the largest made.
    std::shared_ptr<const Bitmap> best = sources_.front();
    const double needW = placed.width * MostZoom(placement_);
    for (const auto& s : sources_)
        if (s->width + 1 >= needW && s->width < best->width) best = s;
    return best;
}

std::shared_ptr<const Bitmap> PictureMotion::underFor(const PixelRect& area, PixelSize surface) {
    if (!backdrop_) return nullptr;
    for (const Under& u : unders_)
        if (u.area == area && u.surface == surface) return u.pixels;
    auto b = std::make_shared<Bitmap>();
    b->resize(surface.width, surface.height, colorToPixel(backColor_));
    // Nothing placed: the backdrop fills the whole area, and the moving picture goes over it.
    backdrop_->paintBars(*b, area, {area.x, area.y, 0, 0});
    // A few kept: a monitor or two, each of its own size.
    if (unders_.size() >= 4) unders_.erase(unders_.begin());
    unders_.push_back({area, surface, b});
    return b;
}

MovingScene PictureMotion::scene(size_t index, const PixelRect& area, const PixelRect& placed, PixelSize surface,
                                 Clock::time_point now) {
    if (!start_) start_ = now;
    const double period = plan_.periodSeconds();
    const double elapsed = std::max(0.0, std::chrono::duration<double>(now - *start_).count());
    const auto k = static_cast<size_t>(elapsed / period);
    const double t = elapsed / period - static_cast<double>(k);
    MovingScene scene;
    scene.picture = sourceFor(placed);
    scene.at = FramedRect(area, placed, FramingBetween(plan_.framing(k), plan_.framing(k + 1), t));
    scene.under = underFor(area, surface);
    scene.fill = colorToPixel(backColor_);
    if (driftsSeen_.size() <= index) driftsSeen_.resize(index + 1, 0);
    if (seen_ && scene.picture && driftsSeen_[index] <= k) {
        driftsSeen_[index] = k + 1;
        const auto begun = *start_ + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(period * static_cast<double>(k)));
        seen_(index, begun, period, {scene.picture->width, scene.picture->height}, FramedRect(area, placed, plan_.framing(k)),
              FramedRect(area, placed, plan_.framing(k + 1)));
    }
    return scene;
}

size_t PictureMotion::bytes() const {
    size_t n = 0;
    for (const auto& s : sources_) n += s->pixels.size() * 4;
    for (const Under& u : unders_) n += u.pixels->pixels.size() * 4;
    return n;
}

std::vector<PixelRect> MotionDecodeAreas(const std::vector<PixelRect>& areas, PicturePlacement placement) {
    std::vector<PixelRect> grown;
    const double most = MostZoom(placement);
    for (const PixelRect& a : areas)
        grown.push_back({a.x, a.y, static_cast<int>(std::ceil(a.width * most)), static_cast<int>(std::ceil(a.height * most))});
    return grown;
}

}  // namespace mv
