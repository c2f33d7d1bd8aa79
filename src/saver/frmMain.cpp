#include "frmMain.h"

#include "../startup/app.h"

namespace mv {

frmMain::frmMain(App& app)
    : Form(app.platform, kCaption), AnimationTimer(app.platform, [this] { AnimationTimer_Timer(); }), app_(app) {
    setDesign(BorderStyle::None, ScaleMode::Pixels, 0x00000000, 1095, 1860, 2670, 2730);
    setWindowState(WindowState::Maximized);
    txFile.setVisible(false);
    Picture1.setVisible(false);
    AnimatedGIF(0).setVisible(false);
}

void frmMain::Form_Load() {}
void frmMain::Form_Unload(int16_t&) {}
void frmMain::Form_Click() {}
void frmMain::Form_DblClick() {}
void frmMain::Form_KeyDown(int16_t, int16_t) {}
void frmMain::Form_KeyPress(int16_t) {}
void frmMain::Form_MouseDown(int16_t, int16_t, float, float) {}
void frmMain::Form_MouseMove(int16_t, int16_t, float, float) {}

}  // namespace mv
