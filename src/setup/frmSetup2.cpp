#include "frmSetup2.h"

#include "../saver/frmMain.h"
#include "../startup/app.h"

namespace mv {

// A bare dialog until the full setup dialog lands: it shows and ends the program on close.
frmSetup2::frmSetup2(App& app) : Form(app.platform, kCaption), app_(app) {
    setDesign(BorderStyle::FixedDialog, ScaleMode::Twips, 0x8000000F, 3000, 1500, 4875, 2625);
}

void frmSetup2::Form_Load() {
    Show();
    app_.platform.showCursor(true);
    app_.platform.doEvents();
}

void frmSetup2::Form_Unload(int16_t&) {
    app_.mainForm->Unload();
    app_.platform.showCursor(true);
    app_.platform.doEvents();
    app_.platform.terminate();
}

}  // namespace mv
