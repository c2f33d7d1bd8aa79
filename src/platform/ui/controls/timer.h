#pragma once
#include <functional>
#include <memory>

#include "platform/error.h"
#include "platform/platform.h"

namespace mv {

// A timer control: ticks every Interval milliseconds while Enabled; Interval 0 never ticks.
class Timer {
public:
    Timer(Platform& platform, std::function<void()> onTick, long interval = 1000, bool enabled = false);

    long Interval() const { return interval_; }
    // Values outside 0..65535 are refused with ErrInvalidProperty; setting one restarts the count.
    void setInterval(long long ms);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool on);

private:
    void apply();

    Platform& platform_;
    std::function<void()> onTick_;
    std::unique_ptr<TimerDriver> driver_;
    long interval_;
    bool enabled_;
};

}  // namespace mv
