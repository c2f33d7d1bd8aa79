#include "../saver/frmMain.h"

namespace mv {

void frmMain::LoadAniGif(const std::string&, ControlArray<PictureBox>&) {}

}  // namespace mv
