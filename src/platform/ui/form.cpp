#include "platform/ui/form.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/modes.h"
#include "platform/picture/motion/draw_moving.h"
#include "platform/platform.h"
#include "platform/ui/units.h"

namespace mv {

Form::Form(Platform& platform, std::string caption) : platform_(platform), caption_(std::move(caption)) {}

// The host goes first, while the form it shows is still whole: closing a window may still
// read the form (its caption, for one).
Form::~Form() { host_.reset(); }

void Form::setDesign(BorderStyle border, ScaleMode mode, int32_t backColor, long left, long top, long width, long height) {
    borderStyle_ = border;
    scaleMode_ = mode;
    backColor_ = backColor;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void Form::Load() {
    if (loaded_) return;
    host_ = platform_.createWindow(*this);
    loaded_ = true;
    platform_.formLoaded(*this);
    Form_Load();
}

void Form::Show() {
    if (!loaded_) Load();
    // Form_Load may have unloaded the form again; showing then would resurrect a dead window.
    if (!loaded_ || !host_) return;
    visible_ = true;
    host_->show();
}

void Form::Unload() {
    if (!loaded_ || unloading_) return;
    unloading_ = true;
    int16_t cancel = 0;
    Form_Unload(cancel);
    unloading_ = false;
    if (cancel != 0 || !loaded_) return;
    loaded_ = false;
    visible_ = false;
    host_.reset();
    backings_.clear();
    lastPaint_.reset();
    own_.clear();
    ownPainted_.clear();
    platform_.formUnloaded(*this);
}

void Form::setCaption(const std::string& c) {
    caption_ = c;
    syncHost();
}

void Form::setWindowState(WindowState s) {
    windowState_ = s;
    syncHost();
}

void Form::Move(long left, long top) {
    left_ = left;
    top_ = top;
    syncHost();
}

void Form::Move(long left, long top, long width, long height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    syncHost();
}

double Form::ScaleWidth() const {
    const Units units = Units::of(platform_);
    const double px = host_ ? host_->clientWidthPx() : units.exactPixelsX(width_);
    return scaleMode_ == ScaleMode::Pixels ? px : units.twipsX(px);
}

double Form::ScaleHeight() const {
    const Units units = Units::of(platform_);
    const double px = host_ ? host_->clientHeightPx() : units.exactPixelsY(height_);
    return scaleMode_ == ScaleMode::Pixels ? px : units.twipsY(px);
}

const Bitmap& Form::backing(size_t surface) const {
    static const Bitmap none;
    return surface < backings_.size() ? backings_[surface] : none;
}

void Form::PaintPicture(const PictureImage& image, double x, double y, double w, double h) {
    if (!host_) return;  // painting an unloaded window has nowhere to go
    if (!image.picture) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    const std::vector<Surface> now = host_->surfaces();
    const Paint paint{image, x, y, w, h, now.empty() ? 0.0 : now[0].width, now.empty() ? 0.0 : now[0].height};
    const bool drawn = paintSurfaces(paint);
    // Kept only once it could be painted: it is what a new monitor gets.
    lastPaint_ = std::make_unique<Paint>(paint);
    if (drawn) host_->present();
}

void Form::setSurfaceImage(size_t surface, const PictureImage& image) {
    if (own_.size() <= surface) own_.resize(surface + 1);
    own_[surface] = image;
    ownPainted_.assign(own_.size(), false);
    if (!host_ || !lastPaint_) return;
    if (paintSurfaces(*lastPaint_)) host_->present();
}

void Form::repaintOverlay() {
    if (!host_ || !lastPaint_) return;
    ownPainted_.assign(own_.size(), false);
    if (paintSurfaces(*lastPaint_)) host_->present();
}

void Form::repaintMoving() {
    if (!host_ || !lastPaint_) return;
    if (paintSurfaces(*lastPaint_, true)) host_->present();
}

bool Form::moving() const {
    if (lastPaint_ && lastPaint_->image.motion) return true;
    return std::any_of(own_.begin(), own_.end(), [](const PictureImage& i) { return i.picture && i.motion; });
}

PictureImage Form::surfaceImage(size_t surface) const {
    if (surface < own_.size() && own_[surface].picture) return own_[surface];
    return lastPaint_ ? lastPaint_->image : PictureImage{};
}

void Form::surfacesChanged() {
    if (!host_) return;
    // The picture painted last may have become unreadable since (its file gone): then the
    // surfaces keep what they show.
    if (lastPaint_) continueStep([&] { paintSurfaces(*lastPaint_); });
    host_->present();
}

void Form::setBackColor(int32_t color) {
    backColor_ = color;
    if (host_) host_->present();
}

void Form::setPlacement(PicturePlacement placement, Monitors monitors) {
    placement_ = placement;
    monitors_ = monitors;
}

namespace {

std::vector<PixelRect> rectsOf(const std::vector<Surface>& surfaces) {
    std::vector<PixelRect> rects;
    rects.reserve(surfaces.size());
    for (const Surface& s : surfaces) rects.push_back({s.x, s.y, s.width, s.height});
    return rects;
}

// Paints `pixel` over the part of `area` that `picture` leaves uncovered, clipped to dst.
void paintBars(Bitmap& dst, const PixelRect& area, const PixelRect& picture, uint32_t pixel) {
    using Wide = long long;
    auto clip = [](Wide v, Wide lo, Wide hi) { return static_cast<int>(std::clamp(v, lo, std::max(lo, hi))); };
    const int left = clip(area.x, 0, dst.width), right = clip(Wide{area.x} + area.width, left, dst.width);
    const int top = clip(area.y, 0, dst.height), bottom = clip(Wide{area.y} + area.height, top, dst.height);
    const int coverFrom = clip(picture.x, left, right), coverTo = clip(Wide{picture.x} + picture.width, coverFrom, right);
    const Wide picBottom = Wide{picture.y} + picture.height;
    for (int y = top; y < bottom; ++y) {
        uint32_t* row = dst.row(y);
        if (y < picture.y || y >= picBottom) {
            std::fill(row + left, row + right, pixel);
            continue;
        }
        std::fill(row + left, row + coverFrom, pixel);
        std::fill(row + coverTo, row + right, pixel);
    }
}

}  // namespace

ShownAreas Form::shownAreas(double x, double y, double w, double h) const {
    if (!host_) return {};
    const std::vector<Surface> now = host_->surfaces();
    if (now.empty()) return {};
    return {PaintAreas(rectsOf(now), monitors_, {x, y, w, h}, now[0].width, now[0].height), placement_};
}

// Coordinates are the primary surface's as it was when painted. On each monitor, every surface
// (the primary one too, once it has changed size) gets the same paint scaled to its own size,
// so each shows what a single one would; spanned, the paint is scaled to the rectangle holding
// all surfaces and each shows its own part of it.
bool Form::paintSurfaces(const Paint& p, bool movingOnly) {
    const std::vector<Surface> surfaces = host_->surfaces();
    backings_.resize(surfaces.size());
    if (surfaces.empty()) return false;
    bool drawn = false;
    const auto now = PictureMotion::Clock::now();
    struct Moving {
        size_t index;
        MovingScene scene;
        PixelRect area, placed;
    };
    std::vector<Moving> moving;
    std::pmr::memory_resource* memory = host_->pixelMemory();
    if (!memory) memory = std::pmr::get_default_resource();
    const std::vector<PixelRect> areas = PaintAreas(rectsOf(surfaces), monitors_, {p.x, p.y, p.w, p.h}, p.baseW, p.baseH);
    for (size_t i = 0; i < surfaces.size(); ++i) {
        const Surface& s = surfaces[i];
        Bitmap& b = backings_[i];
        const bool own = i < own_.size() && own_[i].picture;
        const PictureImage& image = own ? own_[i] : p.image;
        const bool moves = image.motion && PlacementMoves(placement_);
        if (movingOnly && !moves) continue;
        const int picW = image.picture->width(), picH = image.picture->height();
        if (b.pixels.get_allocator().resource() != memory) {
            // The old pixels go back to their own memory before the new ones are made.
            std::destroy_at(&b);
            std::construct_at(&b, memory);
        }
        const bool sized = b.width == s.width && b.height == s.height;
        if (!sized) b.resize(s.width, s.height, colorToPixel(backColor_));
        // A surface's own picture is painted again only when it or the surface changed.
        if (own && !moves && sized && i < ownPainted_.size() && ownPainted_[i]) continue;
        if (own && ownPainted_.size() < own_.size()) ownPainted_.resize(own_.size(), false);
        if (own) ownPainted_[i] = true;
        // A surface's own picture is placed on that surface alone.
        const PixelRect area = own ? PixelRect{0, 0, s.width, s.height} : areas[i];
        const PixelRect placed = PlacePicture(picW, picH, area, placement_);
        if (moves) {
            moving.push_back({i, image.motion->scene(i, area, placed, {s.width, s.height}, now), area, placed});
            continue;
        }
        drawn = true;
        if (placed != area) {
            if (image.backdrop)
                image.backdrop->paintBars(b, area, placed);
            else
                paintBars(b, area, placed, colorToPixel(image.backColor));
        }
        image.picture->stretchTo(b, placed.x, placed.y, placed.width, placed.height, image.backColor);
        if (overlay_) overlay_(b, i, area, placed);
    }
    if (moving.empty()) return true;
    // The display scales the moving pictures only when it shows every surface of this paint
    // so: a present() of backings would cover what it showed. Anything drawn over the
    // pictures needs their pixels here.
    if (!drawn && !overlay_ && !drawMotion_ &&
        std::all_of(moving.begin(), moving.end(), [&](const Moving& m) { return host_->showMoving(m.index, m.scene); }))
        return false;
    for (const Moving& m : moving) {
        DrawMovingScene(backings_[m.index], m.scene);
        if (overlay_) overlay_(backings_[m.index], m.index, m.area, m.placed);
    }
    return true;
}

}  // namespace mv
