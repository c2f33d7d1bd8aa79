#include "platform/ui/controls/timer.h"

#include "platform/platform.h"

namespace mv {

Timer::Timer(Platform& platform, std::function<void()> onTick, long interval, bool enabled)
    : platform_(platform), onTick_(std::move(onTick)), interval_(interval), enabled_(enabled) {}

void Timer::setInterval(long long ms) {
    if (ms < 0 || ms > 65535) throw PlatformError(ErrInvalidProperty, "Invalid property value");
    interval_ = static_cast<long>(ms);
    apply();
}

void Timer::setEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    apply();
}

void Timer::apply() {
    if (!enabled_ || interval_ == 0) {
        if (driver_) driver_->stop();
        return;
    }
    if (!driver_) driver_ = platform_.createTimer([this] { if (enabled_ && interval_ > 0 && onTick_) onTick_(); });
    driver_->start(static_cast<unsigned>(interval_));
}

}  // namespace mv
