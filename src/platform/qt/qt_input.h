#pragma once
// Qt input events in the classic handler terms: key codes, button and shift masks.
#include <cstdint>
#include <exception>

class QKeyEvent;
class QMouseEvent;

namespace mv::qt {

int16_t keyCode(const QKeyEvent& event);
// The character code of a key press, 0 when the key types no character.
int16_t keyAscii(const QKeyEvent& event);
int16_t shiftState(const QKeyEvent& event);
int16_t shiftState(const QMouseEvent& event);
// 1 left, 2 right, 4 middle for the button that changed; the held buttons for a move.
int16_t buttonOf(const QMouseEvent& event);
int16_t heldButtons(const QMouseEvent& event);

// Runs a form handler from a Qt event. The handlers trap no failures; one that escapes ends
// the program with a report on standard error, as an untrapped error would.
template <class F>
void dispatch(F&& handler);
[[noreturn]] void untrapped(const char* what);

template <class F>
void dispatch(F&& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        untrapped(e.what());
    }
}

}  // namespace mv::qt
