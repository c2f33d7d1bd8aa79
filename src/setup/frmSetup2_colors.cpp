// The background colour selector: three sliders mix the colour shown in the swatch.
#include "setup/frmSetup2.h"

#include "settings/number_text.h"
#include "startup/app.h"

namespace mv {

void frmSetup2::MixColor() {
    const int32_t r = HScroll1.Value(), g = HScroll2.Value(), b = HScroll3.Value();
    app_.bgColor = r + 256 * g + 65536 * b;
    Picture1.setBackColor(app_.bgColor);
    Label2.setCaption(IntText(app_.bgColor));
}

void frmSetup2::HScroll1_Change() { MixColor(); }
void frmSetup2::HScroll2_Change() { MixColor(); }
void frmSetup2::HScroll3_Change() { MixColor(); }

}  // namespace mv
