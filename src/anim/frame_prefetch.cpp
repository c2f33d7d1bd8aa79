#include "anim/frame_prefetch.h"

#include <system_error>

#include "platform/modes.h"
#include "platform/picture/gif/composed_picture.h"

namespace mv::anim {

void FramePrefetch::start(std::vector<PicturePtr> loop, size_t ahead) {
    stop();
    launch(std::move(loop), ahead);
}

void FramePrefetch::startDrawing(std::vector<PicturePtr> loop, size_t ahead, DrawTarget target) {
    stop();
    drawing_ = true;
    target_ = std::move(target);
    launch(std::move(loop), ahead);
}

void FramePrefetch::launch(std::vector<PicturePtr> loop, size_t ahead) {
    if (loop.empty() || ahead == 0) {
        drawing_ = false;
        return;
    }
    loop_ = std::move(loop);
    ahead_ = ahead;
    next_ = 0;
    shown_ = 0;
    stopping_ = false;
    ended_ = false;
    drawn_.clear();
    failure_ = nullptr;
    try {
        worker_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had (memory or thread limits): the ticks decode and draw each frame
        // themselves, as they do without a prefetch.
        loop_.clear();
        drawing_ = false;
        ended_ = true;
    }
}

void FramePrefetch::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        // A tick that came first decoded the frames before the one on screen itself.
        if (next_ < shown_) next_ = shown_;
        busy_ = false;
        idle_.notify_all();
        wake_.wait(lock, [this] { return stopping_ || next_ < shown_ + ahead_; });
        if (stopping_) break;
        busy_ = true;
        const size_t at = next_++;
        const PicturePtr frame = loop_[at % loop_.size()];
        const DrawTarget target = target_;
        const uint64_t generation = targetGeneration_;
        lock.unlock();
        PicturePtr drawn;
        std::exception_ptr failure;
        try {
            drawn = work(frame, target);
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        if (failure) {
            // The tick that needs this frame meets the failure and deals with it.
            failure_ = failure;
            break;
        }
        if (drawing_ && generation == targetGeneration_ && at >= shown_) drawn_[at] = std::move(drawn);
    }
    busy_ = false;
    ended_ = true;
    idle_.notify_all();
}

// Runs on the worker. Out of memory, what is kept decoded for later is let go and the frame
// is made once more: nothing else decodes or composes frames while they are drawn here.
PicturePtr FramePrefetch::work(const PicturePtr& frame, const DrawTarget& target) const {
    if (!frame) return nullptr;
    if (!drawing_) {
        frame->prepare();
        return nullptr;
    }
    PicturePtr drawn;
    retryAfterRelief([&] { drawn = std::make_shared<const DrawnFrame>(*frame, target.sizes, target.backColor); },
                     [] { dropDecodedGifFrames(); });
    return drawn;
}

PicturePtr FramePrefetch::takeDrawn(size_t position) {
    std::lock_guard lock(mutex_);
    if (loop_.empty()) return nullptr;
    const size_t n = loop_.size();
    for (auto& [at, drawn] : drawn_)
        if (at % n == position) return drawn;
    // After a failure nothing more is drawn: the frame is not coming.
    if (failure_) std::rethrow_exception(failure_);
    return nullptr;
}

void FramePrefetch::retarget(const DrawTarget& target) {
    {
        std::lock_guard lock(mutex_);
        if (!drawing_ || target == target_) return;
        target_ = target;
        ++targetGeneration_;
        drawn_.clear();
        next_ = shown_;
    }
    wake_.notify_one();
}

void FramePrefetch::shown(size_t position) {
    {
        std::lock_guard lock(mutex_);
        if (loop_.empty()) return;
        const size_t n = loop_.size();
        // Counted on over the rounds, so the worker keeps its place when the loop starts again.
        shown_ += ((position + 1) % n + n - shown_ % n) % n;
        drawn_.erase(drawn_.begin(), drawn_.lower_bound(shown_));
    }
    wake_.notify_one();
}

void FramePrefetch::requestStop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
}

void FramePrefetch::stop() {
    requestStop();
    if (worker_.joinable()) worker_.join();
    // Released here, on the caller's thread: a picture must never be destroyed on the worker.
    loop_.clear();
    drawn_.clear();
    drawing_ = false;
}

void FramePrefetch::waitIdle() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return ended_ || (!busy_ && next_ >= shown_ + ahead_); });
}

}  // namespace mv::anim
