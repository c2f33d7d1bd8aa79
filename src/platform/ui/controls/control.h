#pragma once
// Portable control models. A window class owns them and its handlers work on them; a backend
// shows them and feeds user input back. A backend learns of changes through the observer.
#include <cstdint>
#include <functional>
#include <string>

namespace mv {

class Control {
public:
    explicit Control(std::string name) : name_(std::move(name)) {}
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }

    bool Visible() const { return visible_; }
    void setVisible(bool v) { if (v != visible_) { visible_ = v; notify(); } }
    bool Enabled() const { return enabled_; }
    void setEnabled(bool v) { if (v != enabled_) { enabled_ = v; notify(); } }

    // Set by the backend that shows the control; called after every visible change.
    std::function<void(Control&)> observer;

protected:
    void notify() { if (observer) observer(*this); }

private:
    std::string name_;
    bool visible_ = true;
    bool enabled_ = true;
};

}  // namespace mv
