#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// Mouse handler arguments: button (1 left, 2 right, 4 middle), shift state, position in twips.
using MouseHandler = std::function<void(int16_t button, int16_t shift, float x, float y)>;

// A caption on a window; it wraps at word boundaries within its width.
class Label : public Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c) { if (c != caption_) { caption_ = c; notify(); } }

    int32_t ForeColor() const { return foreColor_; }
    void setForeColor(int32_t c) { if (c != foreColor_) { foreColor_ = c; notify(); } }

    MouseHandler onMouseDown;
    MouseHandler onMouseUp;

private:
    std::string caption_;
    int32_t foreColor_ = static_cast<int32_t>(0x80000012);  // button text
};

}  // namespace mv
