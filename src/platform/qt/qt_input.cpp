#include "platform/qt/qt_input.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace mv::qt {

Modifiers modifiersOf(Qt::KeyboardModifiers m) {
    return {(m & Qt::ShiftModifier) != 0, (m & Qt::ControlModifier) != 0, (m & Qt::AltModifier) != 0};
}

Buttons buttonsOf(Qt::MouseButtons b) {
    return {(b & Qt::LeftButton) != 0, (b & Qt::RightButton) != 0, (b & Qt::MiddleButton) != 0};
}

QPointF devicePosition(const QMouseEvent& event, const QWidget& widget) {
    return event.position() * widget.devicePixelRatioF();
}

int16_t keyCode(const QKeyEvent& event) {
    const int k = event.key();
    if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Space) return static_cast<int16_t>(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<int16_t>(0x70 + (k - Qt::Key_F1));
    switch (k) {
        case Qt::Key_Backspace: return 8;
        case Qt::Key_Tab: return 9;
        case Qt::Key_Return:
        case Qt::Key_Enter: return 13;
        case Qt::Key_Shift: return 16;
        case Qt::Key_Control: return 17;
        case Qt::Key_Alt: return 18;
        case Qt::Key_Pause: return 19;
        case Qt::Key_CapsLock: return 20;
        case Qt::Key_Escape: return 27;
        case Qt::Key_PageUp: return 33;
        case Qt::Key_PageDown: return 34;
        case Qt::Key_End: return 35;
        case Qt::Key_Home: return 36;
        case Qt::Key_Left: return 37;
        case Qt::Key_Up: return 38;
        case Qt::Key_Right: return 39;
        case Qt::Key_Down: return 40;
        case Qt::Key_Insert: return 45;
        case Qt::Key_Delete: return 46;
        case Qt::Key_Meta: return 91;
        default: return static_cast<int16_t>(event.nativeVirtualKey() & 0xFF);
    }
}

int16_t keyAscii(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) return 0;
    return static_cast<int16_t>(text.at(0).unicode());
}


void untrapped(const char* what) {
    std::fprintf(stderr, "marvoscope: %s\n", what);
    std::fflush(nullptr);
    std::_Exit(1);
}

}  // namespace mv::qt
