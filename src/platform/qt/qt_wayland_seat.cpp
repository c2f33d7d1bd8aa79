#include "platform/qt/qt_wayland_seat.h"

#include <unistd.h>
#include <wayland-client.h>

namespace mv::qt {

namespace {

WaylandSeat* of(void* data) { return static_cast<WaylandSeat*>(data); }

void onCapabilities(void* data, wl_seat*, uint32_t caps) { of(data)->capabilities(caps); }
void onName(void*, wl_seat*, const char*) {}
const wl_seat_listener seatListener = {onCapabilities, onName};

void onEnter(void* data, wl_pointer* pointer, uint32_t serial, wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
    of(data)->entered(pointer, serial, surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void onLeave(void*, wl_pointer*, uint32_t, wl_surface*) {}
void onMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    of(data)->moved(wl_fixed_to_double(x), wl_fixed_to_double(y));
}
void onButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button, uint32_t state) {
    if (of(data)->events().button) of(data)->events().button(button, state == WL_POINTER_BUTTON_STATE_PRESSED);
}
void onAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
void onFrame(void*, wl_pointer*) {}
void onAxisSource(void*, wl_pointer*, uint32_t) {}
void onAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void onAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
const wl_pointer_listener pointerListener = {onEnter, onLeave, onMotion, onButton, onAxis,
                                             onFrame, onAxisSource, onAxisStop, onAxisDiscrete, nullptr};

void onKeymap(void*, wl_keyboard*, uint32_t, int32_t fd, uint32_t) { ::close(fd); }
void onKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void onKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}
void onKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED && of(data)->events().key) of(data)->events().key(key);
}
void onModifiers(void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {}
void onRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener keyboardListener = {onKeymap, onKeyboardEnter, onKeyboardLeave, onKey, onModifiers, onRepeatInfo};

}  // namespace

WaylandSeat::WaylandSeat(wl_seat* seat, Events events) : seat_(seat), events_(std::move(events)) {
    wl_seat_add_listener(seat_, &seatListener, this);
}

WaylandSeat::~WaylandSeat() {
    if (pointer_) wl_pointer_release(pointer_);
    if (keyboard_) wl_keyboard_release(keyboard_);
    if (wl_seat_get_version(seat_) >= WL_SEAT_RELEASE_SINCE_VERSION)
        wl_seat_release(seat_);
    else
        wl_seat_destroy(seat_);
}

void WaylandSeat::capabilities(uint32_t caps) {
    const bool pointer = caps & WL_SEAT_CAPABILITY_POINTER, keyboard = caps & WL_SEAT_CAPABILITY_KEYBOARD;
    if (pointer && !pointer_) {
        pointer_ = wl_seat_get_pointer(seat_);
        wl_pointer_add_listener(pointer_, &pointerListener, this);
    } else if (!pointer && pointer_) {
        wl_pointer_release(pointer_);
        pointer_ = nullptr;
    }
    if (keyboard && !keyboard_) {
        keyboard_ = wl_seat_get_keyboard(seat_);
        wl_keyboard_add_listener(keyboard_, &keyboardListener, this);
    } else if (!keyboard && keyboard_) {
        wl_keyboard_release(keyboard_);
        keyboard_ = nullptr;
    }
}

void WaylandSeat::entered(wl_pointer* pointer, uint32_t serial, wl_surface* surface, double x, double y) {
    over_ = surface;
    // No cursor image: the pointer is hidden over the show, as over the X show's windows.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    if (events_.moved) events_.moved(surface, x, y);
}

void WaylandSeat::moved(double x, double y) {
    if (over_ && events_.moved) events_.moved(over_, x, y);
}

}  // namespace mv::qt
