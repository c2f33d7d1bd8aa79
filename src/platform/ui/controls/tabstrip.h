#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/ui/controls/control.h"

namespace mv {

// A row of tabs over one page area. Only the controls of the selected tab are displayed and
// reachable from the keyboard; each control of a page names its tab in the layout.
class TabStrip : public Control {
public:
    using Control::Control;

    const std::vector<std::string>& TabCaptions() const { return captions_; }
    void setTabCaptions(std::vector<std::string> c) {
        captions_ = std::move(c);
        if (tab_ >= static_cast<int>(captions_.size())) tab_ = 0;
        notify();
    }
    int Tabs() const { return static_cast<int>(captions_.size()); }

    int Tab() const { return tab_; }
    // Selecting a tab that does not exist is refused with ErrInvalidProperty.
    void setTab(int index) {
        if (index < 0 || index >= Tabs()) throw PlatformError(ErrInvalidProperty, "Invalid property value");
        if (index == tab_) return;
        tab_ = index;
        notify();
        if (onClick) onClick();
    }
    std::function<void()> onClick;

private:
    std::vector<std::string> captions_;
    int tab_ = 0;
};

}  // namespace mv
