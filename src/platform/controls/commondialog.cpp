#include "commondialog.h"

#include "../platform.h"

namespace mv {

void CommonDialog::ShowOpen() { FileName = platform_.showOpen(OpenFileRequest{Filter, DefaultExt, FileName}); }

}  // namespace mv
