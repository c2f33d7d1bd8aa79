#include "platform/qt/qt_timer.h"

#include <QTimer>

namespace mv::qt {

namespace {

class QtTimerDriver : public TimerDriver {
public:
    explicit QtTimerDriver(std::function<void()> tick) : tick_(std::move(tick)) {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] { if (tick_) tick_(); });
    }
    void start(unsigned ms) override { timer_.start(static_cast<int>(ms)); }
    void stop() override { timer_.stop(); }

private:
    std::function<void()> tick_;
    QTimer timer_;
};

}  // namespace

std::unique_ptr<TimerDriver> makeTimer(std::function<void()> tick) { return std::make_unique<QtTimerDriver>(std::move(tick)); }

}  // namespace mv::qt
