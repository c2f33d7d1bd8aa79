#include "platform/picture/frames/composed_frames.h"

#include <algorithm>
#include <deque>
#include <map>
#include <mutex>

#include "platform/error.h"
#include "platform/picture/gif/index_cache.h"
#include "platform/picture/resample.h"

namespace mv {

namespace {

// Canvases a long loop keeps besides the first: the frames drawn ahead on the second thread, the
// one on screen and the one a tick may still be painting.
constexpr size_t kRecentCanvases = 4;

// Straight-alpha "over": the frame's pixel in front of what the canvas holds.
uint32_t over(uint32_t front, uint32_t back) {
    const uint32_t fa = front >> 24;
    if (fa == 0xFF) return front;
    if (fa == 0) return back;
    const uint32_t ba = back >> 24;
    if (ba == 0) return front;
    const uint32_t outA = fa * 255 + ba * (255 - fa);  // alpha times 255
    uint32_t out = ((outA + 127) / 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t fc = (front >> shift) & 0xFF, bc = (back >> shift) & 0xFF;
        const uint32_t c = (fc * fa * 255 + bc * ba * (255 - fa) + outA / 2) / outA;
        out |= std::min<uint32_t>(c, 255) << shift;
    }
    return out;
}

void checkRect(const FrameInfo& f, int width, int height) {
    if (f.width <= 0 || f.height <= 0 || f.x < 0 || f.y < 0 || f.x > width - f.width || f.y > height - f.height)
        throw PlatformError(ErrInvalidPicture, "Invalid picture");
}

// The canvases of one animation, shared by its frames' pictures; any thread, one at a time.
class Canvases {
public:
    explicit Canvases(FrameSourcePtr source) : source_(std::move(source)) {
        const auto& frames = source_->frames();
        const size_t bytes = canvasBytes();
        keepAll_ = frames.size() * bytes <= gif::kLoopBudgetBytes;
    }

    int width() const { return source_->canvasWidth(); }
    int height() const { return source_->canvasHeight(); }
    size_t canvasBytes() const { return size_t(width()) * size_t(height()) * 4; }

    std::shared_ptr<const RgbPicture> canvas(int k) {
        std::lock_guard lock(mutex_);
        if (auto it = kept_.find(k); it != kept_.end()) return it->second;
        if (drawn_ < 0 || drawn_ >= k) restart();
        while (drawn_ < k) step(drawn_ + 1);
        keep(k, current_);
        return current_;
    }

private:
    // A new round goes on from the first frame's canvas, which is always kept once made.
    void restart() {
        saved_ = {};
        if (auto it = kept_.find(0); it != kept_.end()) {
            current_ = it->second;
            drawn_ = 0;
        } else {
            current_ = nullptr;
            drawn_ = -1;
        }
    }

    // The canvas after frame j: frame j - 1's disposal, then frame j drawn, on a copy of the
    // canvas before (which its own frame's picture keeps); a frame that covers the whole canvas
    // with opaque pixels is that canvas itself, with no copy and no blend.
    void step(int j) {
        const auto& frames = source_->frames();
        const FrameInfo& f = frames[size_t(j)];
        checkRect(f, width(), height());
        Bitmap pixels = source_->decodeFrame(j);
        if (pixels.width != f.width || pixels.height != f.height) throw PlatformError(ErrInvalidPicture, "Invalid picture");
        const bool whole = f.width == width() && f.height == height();
        if (whole && f.dispose != FrameDispose::Restore &&
            (!f.blend || std::all_of(pixels.pixels.begin(), pixels.pixels.end(), [](uint32_t p) { return p >> 24 == 0xFF; }))) {
            current_ = std::make_shared<const RgbPicture>(std::move(pixels));
            drawn_ = j;
            return;
        }
        Bitmap canvas;
        if (current_) {
            canvas = current_->pixels();
            const FrameInfo& gone = frames[size_t(j - 1)];
            // What lay beneath the first frame is the empty canvas.
            if (gone.dispose == FrameDispose::Clear || (gone.dispose == FrameDispose::Restore && saved_.empty()))
                for (int y = 0; y < gone.height; ++y) std::fill_n(canvas.row(gone.y + y) + gone.x, gone.width, 0u);
            else if (gone.dispose == FrameDispose::Restore)
                for (int y = 0; y < gone.height; ++y) std::copy_n(saved_.row(y), gone.width, canvas.row(gone.y + y) + gone.x);
        } else {
            canvas.resize(width(), height(), 0);
        }
        if (f.dispose == FrameDispose::Restore) {
            saved_.resize(f.width, f.height, 0);
            for (int y = 0; y < f.height; ++y) std::copy_n(canvas.row(f.y + y) + f.x, f.width, saved_.row(y));
        }
        for (int y = 0; y < f.height; ++y) {
            const uint32_t* src = pixels.row(y);
            uint32_t* dst = canvas.row(f.y + y) + f.x;
            if (!f.blend)
                std::copy_n(src, f.width, dst);
            else
                for (int x = 0; x < f.width; ++x) dst[x] = over(src[x], dst[x]);
        }
        current_ = std::make_shared<const RgbPicture>(std::move(canvas));
        drawn_ = j;
    }

    // Frame 0 always stays (a new round starts from it); of the rest, all or the last few.
    void keep(int k, std::shared_ptr<const RgbPicture> picture) {
        kept_[k] = std::move(picture);
        if (keepAll_ || k == 0) return;
        recent_.push_back(k);
        while (recent_.size() > kRecentCanvases) {
            kept_.erase(recent_.front());
            recent_.pop_front();
        }
    }

    FrameSourcePtr source_;
    std::mutex mutex_;
    bool keepAll_ = true;
    std::map<int, std::shared_ptr<const RgbPicture>> kept_;
    std::deque<int> recent_;
    std::shared_ptr<const RgbPicture> current_;  // the canvas after frame drawn_, before its disposal
    Bitmap saved_;  // what the rectangle of the last frame disposed by restoring held before it
    int drawn_ = -1;
};

class FramePicture final : public Picture {
public:
    FramePicture(std::shared_ptr<Canvases> canvases, int k) : canvases_(std::move(canvases)), k_(k) {}
    int width() const override { return canvases_->width(); }
    int height() const override { return canvases_->height(); }
    void stretchTo(Bitmap& dst, int x, int y, int w, int h, int32_t backColor) const override {
        if (missesTarget(dst, x, y, w, h)) return;
        canvases_->canvas(k_)->stretchTo(dst, x, y, w, h, backColor);
    }
    size_t prepare() const override {
        canvases_->canvas(k_);
        return canvases_->canvasBytes();
    }
    size_t decodedBytes() const override { return canvases_->canvasBytes(); }

private:
    std::shared_ptr<Canvases> canvases_;
    int k_;
};

void checkCanvas(const FrameSource& source) {
    const int64_t w = source.canvasWidth(), h = source.canvasHeight();
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide || w * h > kMaxPicturePixels ||
        source.frames().empty())
        throw PlatformError(ErrInvalidPicture, "Invalid picture");
}

}  // namespace

ComposedFrames ComposeFrames(FrameSourcePtr source) {
    checkCanvas(*source);
    ComposedFrames result;
    result.loops = std::max(0, source->loopCount());
    auto canvases = std::make_shared<Canvases>(source);
    const auto& frames = source->frames();
    for (size_t k = 0; k < frames.size(); ++k) {
        result.frames.push_back(std::make_shared<FramePicture>(canvases, static_cast<int>(k)));
        result.delaysMs.push_back(frames[k].delayMs);
    }
    return result;
}

PicturePtr FirstFrameStill(const FrameSource& source) {
    // A source that is not shared is not kept: borrowed for the one canvas.
    checkCanvas(source);
    Canvases canvases(FrameSourcePtr(&source, [](const FrameSource*) {}));
    return canvases.canvas(0);
}

}  // namespace mv
