#include "qt_file_dialog.h"

#include <QFileDialog>

namespace mv::qt {

std::string showOpenDialog(const OpenFileRequest& request) {
    const QString path = QFileDialog::getOpenFileName(nullptr, QString(), QString::fromStdString(request.fileName),
                                                      QString::fromStdString(request.filter));
    if (path.isEmpty()) throw PlatformError(ErrCancel, "Cancel was selected.");
    return path.toStdString();
}

}  // namespace mv::qt
