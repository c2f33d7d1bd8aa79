#include "anim/frame_prefetch.h"

namespace mv::anim {

void FramePrefetch::start(std::vector<PicturePtr> loop, size_t ahead) {
    stop();
    if (loop.empty() || ahead == 0) return;
    loop_ = std::move(loop);
    ahead_ = ahead;
    next_ = 0;
    shown_ = 0;
    stopping_ = false;
    worker_ = std::thread([this] {
        std::unique_lock lock(mutex_);
        for (;;) {
            // A tick that came first decoded the frames before the one on screen itself.
            if (next_ < shown_) next_ = shown_;
            wake_.wait(lock, [this] { return stopping_ || next_ < shown_ + ahead_; });
            if (stopping_) return;
            const PicturePtr frame = loop_[next_ % loop_.size()];
            ++next_;
            lock.unlock();
            try {
                if (frame) frame->prepare();
            } catch (...) {
                return;  // the tick that needs this frame meets the failure and deals with it
            }
            lock.lock();
        }
    });
}

void FramePrefetch::shown(size_t position) {
    {
        std::lock_guard lock(mutex_);
        if (loop_.empty()) return;
        const size_t n = loop_.size();
        // Counted on over the rounds, so the worker keeps its place when the loop starts again.
        shown_ += ((position + 1) % n + n - shown_ % n) % n;
    }
    wake_.notify_one();
}

void FramePrefetch::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
    // Released here, on the caller's thread: a picture must never be destroyed on the worker.
    loop_.clear();
}

}  // namespace mv::anim
