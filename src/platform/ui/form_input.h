#pragma once
// Raw input as a backend reports it, turned into a form's handler calls in one place: which
// release is a click, which masks the handlers see, and how device pixels become the form's
// scale units. Backends only say what happened.
#include <cstdint>

namespace mv {

class Form;
class Label;
class Platform;

// The modifier keys held, as the platform reports them.
struct Modifiers {
    bool shift = false, control = false, alt = false;
};
// Mouse buttons, for the one that changed or for those held during a move.
struct Buttons {
    bool left = false, right = false, middle = false;
};

// The handlers' masks: shift 1, control 2, alt 4; left 1, right 2, middle 4.
int16_t shiftMask(Modifiers m);
int16_t buttonMask(Buttons b);

// One form's input state: a click is a press and release in the window that did not end a
// double click. It lives with the form, since a handler may close the backend's window.
struct InputState {
    bool pressed = false;
    bool afterDoubleClick = false;
};

namespace input {

// Positions are device pixels of the form's client area.
void buttonDown(Form& form, Buttons button, Modifiers mods, double x, double y);
void buttonUp(Form& form, Buttons button, Modifiers mods, double x, double y);
// The platform's own double click (it comes instead of the second press).
void doubleClick(Form& form);
void move(Form& form, Buttons held, Modifiers mods, double x, double y);
// A key went down; `character` is what it types (0 for none). Platforms that report the
// character separately pass 0 here and call character() for it.
void keyDown(Form& form, int16_t keyCode, Modifiers mods, int16_t character = 0);
void character(Form& form, int16_t code);
// A button going down or up on a dialog's windowless label; the position is device pixels
// from the label's corner, handed to its handler in twips.
void labelButton(Label& label, Platform& platform, bool down, Buttons button, Modifiers mods, double x, double y);

}  // namespace input

}  // namespace mv
