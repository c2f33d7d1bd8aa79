#pragma once
// The pointer and keyboard of a Wayland seat, as the overlay needs them: where the pointer is on
// which surface, which button went down or up, and that a key went down. The pointer is hidden
// over the program's surfaces.
#include <cstdint>
#include <functional>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;

namespace mv::qt {

class WaylandSeat {
public:
    struct Events {
        std::function<void(wl_surface*, double x, double y)> moved;  // surface-local, logical pixels
        std::function<void(uint32_t button, bool down)> button;      // evdev codes (BTN_LEFT, ...)
        std::function<void(uint32_t key)> key;                        // evdev code of a key going down
    };
    // Takes the seat binding over.
    WaylandSeat(wl_seat* seat, Events events);
    ~WaylandSeat();
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    // Wayland callbacks; not for other callers.
    void capabilities(uint32_t caps);
    void entered(wl_pointer* pointer, uint32_t serial, wl_surface* surface, double x, double y);
    void moved(double x, double y);
    const Events& events() const { return events_; }

private:
    wl_seat* seat_;
    Events events_;
    wl_pointer* pointer_ = nullptr;
    wl_keyboard* keyboard_ = nullptr;
    wl_surface* over_ = nullptr;  // the surface the pointer is on
};

}  // namespace mv::qt
