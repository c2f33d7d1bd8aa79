#pragma once
// Works on an animation's frames on a second thread, a few frames ahead of the one on screen (or
// the whole loop, when the plan keeps it), so that the timer's ticks find them ready: either
// decoded, so the tick only stretches them, or, for frames too large to stretch between two
// inputs, drawn at the size of the screen, so the tick only copies them.
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "anim/drawn_frame.h"
#include "platform/picture/picture.h"

namespace mv::anim {

// Where frames are drawn ahead: the size of every surface and the background colour.
struct DrawTarget {
    std::vector<DrawSize> sizes;
    int32_t backColor = 0;
    bool operator==(const DrawTarget&) const = default;
};

class FramePrefetch {
public:
    FramePrefetch() = default;
    FramePrefetch(const FramePrefetch&) = delete;
    FramePrefetch& operator=(const FramePrefetch&) = delete;
    ~FramePrefetch() { stop(); }

    // Starts on `loop` (the frames in playing order, held until the work ends), keeping up to
    // `ahead` frames decoded beyond the one shown; a running prefetch is stopped first.
    void start(std::vector<PicturePtr> loop, size_t ahead);
    // The same, but each frame is drawn at `target` (up to `ahead` drawings kept): the frames'
    // own pictures are then touched by this thread alone until stop().
    void startDrawing(std::vector<PicturePtr> loop, size_t ahead, DrawTarget target);
    bool drawing() const { return drawing_; }
    // The frame at `position` of the loop, drawn; null while it is not drawn yet (this never
    // waits for it). Throws what drawing it threw.
    PicturePtr takeDrawn(size_t position);
    // Later frames are drawn at `target`; drawings made for another one are made again.
    void retarget(const DrawTarget& target);
    // The frame at `position` of the loop is on screen now: the work moves on past it.
    void shown(size_t position);
    // Returns once the thread has stopped; what it decoded stays cached.
    void stop();
    // Asks the thread to stop after the frame it is working on, without waiting for it.
    void requestStop();
    // Waits until the thread has done all it may ahead of the frame on screen, or has ended.
    void waitIdle();

private:
    void launch(std::vector<PicturePtr> loop, size_t ahead);
    void run();
    PicturePtr work(const PicturePtr& frame, const DrawTarget& target) const;

    std::vector<PicturePtr> loop_;  // read by the worker only while it runs
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    size_t ahead_ = 0;
    size_t next_ = 0;   // frames handed to the worker so far, counted over every round
    size_t shown_ = 0;  // frames passed: the one on screen and those before it, counted the same way
    bool stopping_ = false;
    bool busy_ = false;
    bool ended_ = true;
    bool drawing_ = false;
    DrawTarget target_;
    uint64_t targetGeneration_ = 0;
    std::map<size_t, PicturePtr> drawn_;  // by frame count, like next_ and shown_
    std::exception_ptr failure_;
};

}  // namespace mv::anim
