#pragma once
#include <functional>
#include <memory>

#include "platform/ui/controls/timer.h"

namespace mv::win32 {

// A thread timer (SetTimer without a window): its ticks arrive as WM_TIMER through the
// message loop, so they run between other handlers like every other event.
std::unique_ptr<TimerDriver> makeTimer(std::function<void()> tick);

}  // namespace mv::win32
