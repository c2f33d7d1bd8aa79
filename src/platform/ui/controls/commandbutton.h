#pragma once
#include <functional>
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// A push button; onClick runs when the user presses it (mouse, Space on focus).
class CommandButton : public Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c) { if (c != caption_) { caption_ = c; notify(); } }

    // Presses the button from code, as a click would.
    void press() { if (onClick) onClick(); }

    std::function<void()> onClick;

private:
    std::string caption_;
};

}  // namespace mv
