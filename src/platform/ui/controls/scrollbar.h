#pragma once
#include <algorithm>
#include <functional>
#include <string>

#include "platform/error.h"
#include "platform/ui/controls/control.h"

namespace mv {

enum class Orientation { Horizontal, Vertical };

// A scroll bar with a 16-bit position between Min and Max; Min may be the larger bound, which
// turns the bar's direction round. onChange runs whenever the position takes a new value:
// an arrow or trough click, a key, the end of a thumb drag, or code.
class ScrollBar : public Control {
public:
    ScrollBar(std::string name, Orientation o) : Control(std::move(name)), orientation_(o) {}

    Orientation orientation() const { return orientation_; }

    int Min() const { return min_; }
    int Max() const { return max_; }
    int SmallChange() const { return small_; }
    int LargeChange() const { return large_; }
    void setRange(int min, int max) {
        min_ = min;
        max_ = max;
        value_ = std::clamp(value_, std::min(min, max), std::max(min, max));
        notify();
    }
    void setSteps(int smallChange, int largeChange) { small_ = smallChange; large_ = largeChange; notify(); }

    int Value() const { return value_; }
    // Positions outside the range are refused with ErrInvalidProperty.
    void setValue(int v) {
        if (v < std::min(min_, max_) || v > std::max(min_, max_))
            throw PlatformError(ErrInvalidProperty, "Invalid property value");
        if (v == value_) return;
        value_ = v;
        notify();
        if (onChange) onChange();
    }

    std::function<void()> onChange;

private:
    Orientation orientation_;
    int min_ = 0, max_ = 32767, small_ = 1, large_ = 1, value_ = 0;
};

}  // namespace mv
