#pragma once
#include <cstdint>
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// A filled rectangle drawn on its container's surface, beneath the container's other controls.
class Shape : public Control {
public:
    using Control::Control;

    int32_t FillColor() const { return fill_; }
    void setFillColor(int32_t c) { if (c != fill_) { fill_ = c; notify(); } }
    int32_t BorderColor() const { return border_; }
    void setBorderColor(int32_t c) { if (c != border_) { border_ = c; notify(); } }

private:
    int32_t fill_ = 0;
    int32_t border_ = static_cast<int32_t>(0x80000008);
};

}  // namespace mv
