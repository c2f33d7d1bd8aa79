#pragma once
#include <cstdint>
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// A straight line drawn on its container; its ends are design data of the layout.
class Line : public Control {
public:
    using Control::Control;

    int32_t BorderColor() const { return color_; }
    void setBorderColor(int32_t c) { if (c != color_) { color_ = c; notify(); } }
    int BorderWidth = 1;

private:
    int32_t color_ = static_cast<int32_t>(0x80000008);
};

}  // namespace mv
