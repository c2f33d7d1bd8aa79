// The two web links: red while pressed, opened through the shell, blue once released.
#include "setup/frmSetup2.h"

#include "platform/modes.h"
#include "platform/platform.h"
#include "startup/app.h"

namespace mv {

void frmSetup2::PressLink(Label& label, Line& underline, const std::string& address) {
    continueStep([&] { label.setForeColor(kLinkPressed); });
    continueStep([&] { underline.setBorderColor(kLinkPressed); });
    continueStep([&] { app_.platform.doEvents(); });
    continueStep([&] { app_.platform.shellOpen(address); });
}

void frmSetup2::ReleaseLink(Label& label, Line& underline) {
    label.setForeColor(kLinkReleased);
    underline.setBorderColor(kLinkReleased);
    app_.platform.doEvents();
}

void frmSetup2::Label9_MouseDown(int16_t, int16_t, float, float) {
    PressLink(Label9, Line1, std::string("http://") + kMakerHost);
}
void frmSetup2::Label9_MouseUp(int16_t, int16_t, float, float) { ReleaseLink(Label9, Line1); }

void frmSetup2::Label14_MouseDown(int16_t, int16_t, float, float) {
    PressLink(Label14, Line2, std::string("http://") + kImagesHost);
}
void frmSetup2::Label14_MouseUp(int16_t, int16_t, float, float) { ReleaseLink(Label14, Line2); }

}  // namespace mv
