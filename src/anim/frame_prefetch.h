#pragma once
// Decodes an animation's frames on a second thread, in playing order, while the decoded-frame
// cache has room for them, so that the timer's ticks find them decoded and only paint.
#include <atomic>
#include <thread>
#include <vector>

#include "platform/picture/picture.h"

namespace mv::anim {

class FramePrefetch {
public:
    FramePrefetch() = default;
    FramePrefetch(const FramePrefetch&) = delete;
    FramePrefetch& operator=(const FramePrefetch&) = delete;
    ~FramePrefetch() { stop(); }

    // Starts on `frames` (held until the work ends), decoding until about `budgetBytes` of them
    // are decoded; a running prefetch is stopped first.
    void start(std::vector<PicturePtr> frames, size_t budgetBytes);
    // Returns once the thread has stopped; what it decoded stays cached.
    void stop();

private:
    std::vector<PicturePtr> frames_;  // read by the worker only while it runs
    std::thread worker_;
    std::atomic<bool> stopping_{false};
};

}  // namespace mv::anim
