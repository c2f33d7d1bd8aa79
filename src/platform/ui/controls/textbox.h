#pragma once
#include "platform/ui/controls/control.h"

namespace mv {

// A text box. Setting a different text, by code or by the user, raises onChange.
class TextBox : public Control {
public:
    using Control::Control;

    const std::string& Text() const { return text_; }
    void setText(const std::string& t) {
        if (t == text_) return;
        text_ = t;
        notify();
        if (onChange) onChange();
    }
    // Characters the user may type; 0 means no limit. Code may set longer texts.
    int MaxLength = 0;

    std::function<void()> onChange;

private:
    std::string text_;
};

}  // namespace mv
