#include "platform/ui/form_input.h"

#include "platform/platform.h"
#include "platform/ui/controls/label.h"
#include "platform/ui/form.h"
#include "platform/ui/units.h"

namespace mv {

int16_t shiftMask(Modifiers m) {
    return static_cast<int16_t>((m.shift ? 1 : 0) | (m.control ? 2 : 0) | (m.alt ? 4 : 0));
}

int16_t buttonMask(Buttons b) {
    return static_cast<int16_t>((b.left ? 1 : 0) | (b.right ? 2 : 0) | (b.middle ? 4 : 0));
}

namespace input {
namespace {

// Device pixels in the form's scale: pixels stay pixels, twips go by the screen's density.
float scaleX(const Form& form, double px) {
    return static_cast<float>(form.scaleMode() == ScaleMode::Pixels ? px : Units::of(form.platform()).twipsX(px));
}
float scaleY(const Form& form, double px) {
    return static_cast<float>(form.scaleMode() == ScaleMode::Pixels ? px : Units::of(form.platform()).twipsY(px));
}

}  // namespace

void buttonDown(Form& form, Buttons button, Modifiers mods, double x, double y) {
    form.input.pressed = true;
    form.Form_MouseDown(buttonMask(button), shiftMask(mods), scaleX(form, x), scaleY(form, y));
}

void buttonUp(Form& form, Buttons button, Modifiers mods, double x, double y) {
    const bool click = form.input.pressed && !form.input.afterDoubleClick;
    form.input = {};
    form.Form_MouseUp(buttonMask(button), shiftMask(mods), scaleX(form, x), scaleY(form, y));
    if (click && form.Loaded()) form.Form_Click();
}

void doubleClick(Form& form) {
    form.input.pressed = true;
    form.input.afterDoubleClick = true;
    form.Form_DblClick();
}

void move(Form& form, Buttons held, Modifiers mods, double x, double y) {
    form.Form_MouseMove(buttonMask(held), shiftMask(mods), scaleX(form, x), scaleY(form, y));
}

void keyDown(Form& form, int16_t keyCode, Modifiers mods, int16_t typed) {
    form.Form_KeyDown(keyCode, shiftMask(mods));
    if (typed != 0 && form.Loaded()) form.Form_KeyPress(typed);
}

void character(Form& form, int16_t code) { form.Form_KeyPress(code); }

void labelButton(Label& label, Platform& platform, bool down, Buttons button, Modifiers mods, double x, double y) {
    const MouseHandler& handler = down ? label.onMouseDown : label.onMouseUp;
    const Units units = Units::of(platform);
    if (handler)
        handler(buttonMask(button), shiftMask(mods), static_cast<float>(units.twipsX(x)),
                static_cast<float>(units.twipsY(y)));
}

}  // namespace input

}  // namespace mv
