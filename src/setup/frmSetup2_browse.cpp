// Picking the picture file with the platform's file-open dialog.
#include "setup/frmSetup2.h"

#include "platform/modes.h"

namespace mv {

void frmSetup2::Command5_Click() {
    continueStep([&] { CommonDialog1.Filter = "*.bmp;*.jpg;*.gif"; });
    continueStep([&] { CommonDialog1.DefaultExt = "gif"; });
    const int error = continueStepError([&] { CommonDialog1.ShowOpen(); });
    if (error == ErrCancel) return;
    continueStep([&] { txFile.setText(CommonDialog1.FileName); });
}

}  // namespace mv
