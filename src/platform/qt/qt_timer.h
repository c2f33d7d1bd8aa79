#pragma once
#include <functional>
#include <memory>

#include "platform/ui/controls/timer.h"

namespace mv::qt {

// A precise QTimer behind the portable timer control.
std::unique_ptr<TimerDriver> makeTimer(std::function<void()> tick);

}  // namespace mv::qt
