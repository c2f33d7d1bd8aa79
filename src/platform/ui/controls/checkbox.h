#pragma once
#include <functional>
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// A check box: Value 0 unchecked, 1 checked.
class CheckBox : public Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c) { if (c != caption_) { caption_ = c; notify(); } }

    int Value() const { return value_; }
    void setValue(int v) {
        if (v == value_) return;
        value_ = v;
        notify();
        if (onClick) onClick();
    }
    std::function<void()> onClick;

private:
    std::string caption_;
    int value_ = 0;
};

}  // namespace mv
