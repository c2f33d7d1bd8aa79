#include "platform/ui/controls/commondialog.h"

#include "platform/platform.h"

namespace mv {

void CommonDialog::ShowOpen() {
    FileName = platform_.showOpen(OpenFileRequest{Filter, DefaultExt, FileName, InitDir});
}

}  // namespace mv
