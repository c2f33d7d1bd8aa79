#pragma once
// Decodes an animation's frames on a second thread, a few frames ahead of the one on screen (or
// the whole loop, when the plan keeps it), so that the timer's ticks find them decoded and only
// paint.
#include <condition_variable>
#include <mutex>
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

    // Starts on `loop` (the frames in playing order, held until the work ends), keeping up to
    // `ahead` frames decoded beyond the one shown; a running prefetch is stopped first.
    void start(std::vector<PicturePtr> loop, size_t ahead);
    // The frame at `position` of the loop is on screen now: the work moves on past it.
    void shown(size_t position);
    // Returns once the thread has stopped; what it decoded stays cached.
    void stop();

private:
    std::vector<PicturePtr> loop_;  // read by the worker only while it runs
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    size_t ahead_ = 0;
    size_t next_ = 0;   // frames handed to the worker so far, counted over every round
    size_t shown_ = 0;  // frames passed: the one on screen and those before it, counted the same way
    bool stopping_ = false;
};

}  // namespace mv::anim
