#pragma once
#include <string>

#include "platform/ui/controls/control.h"

namespace mv {

// A titled group box; the controls it contains are positioned from its top-left corner and
// clipped at its edges.
class Frame : public Control {
public:
    using Control::Control;

    const std::string& Caption() const { return caption_; }
    void setCaption(const std::string& c) { if (c != caption_) { caption_ = c; notify(); } }

private:
    std::string caption_;
};

}  // namespace mv
