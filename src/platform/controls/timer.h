#pragma once
#include <functional>
#include <memory>

#include "../error.h"

namespace mv {

class Platform;

// The backend's clock for one timer: fires tick() every `ms` milliseconds until stopped.
class TimerDriver {
public:
    virtual ~TimerDriver() = default;
    virtual void start(unsigned ms) = 0;  // (re)starts the count
    virtual void stop() = 0;
};

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
