#include "../saver/frmMain.h"

namespace mv {

void frmMain::AnimationTimer_Timer() {}

}  // namespace mv
