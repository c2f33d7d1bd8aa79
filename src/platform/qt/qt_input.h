#pragma once
// Qt input events as the core's raw input: key codes, modifiers, buttons, device pixels.
#include <QPointF>
#include <Qt>
#include <cstdint>
#include <exception>

#include "platform/ui/form_input.h"

class QKeyEvent;
class QMouseEvent;
class QWidget;

namespace mv::qt {

int16_t keyCode(const QKeyEvent& event);
// The character code of a key press, 0 when the key types no character.
int16_t keyAscii(const QKeyEvent& event);
Modifiers modifiersOf(Qt::KeyboardModifiers m);
Buttons buttonsOf(Qt::MouseButtons b);
// The event's position in the widget, in device pixels.
QPointF devicePosition(const QMouseEvent& event, const QWidget& widget);

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
