#include "anim/frame_prefetch.h"

namespace mv::anim {

void FramePrefetch::start(std::vector<PicturePtr> frames, size_t budgetBytes) {
    stop();
    frames_ = std::move(frames);
    stopping_ = false;
    worker_ = std::thread([this, budgetBytes] {
        size_t decoded = 0;
        for (const PicturePtr& frame : frames_) {
            if (stopping_ || decoded >= budgetBytes) return;
            try {
                decoded += frame ? frame->prepare() : 0;
            } catch (...) {
                return;  // the tick that needs this frame meets the failure and deals with it
            }
        }
    });
}

void FramePrefetch::stop() {
    stopping_ = true;
    if (worker_.joinable()) worker_.join();
    // Released here, on the caller's thread: a picture must never be destroyed on the worker.
    frames_.clear();
}

}  // namespace mv::anim
