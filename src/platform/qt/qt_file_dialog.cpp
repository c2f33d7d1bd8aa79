#include "platform/qt/qt_file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

namespace mv::qt {

QString nameFilterFor(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    QStringList patterns;
    for (const QString& part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString p = part.trimmed();
        if (p.isEmpty()) continue;
        if (!patterns.contains(p)) patterns << p;
        if (!patterns.contains(p.toUpper())) patterns << p.toUpper();
    }
    if (patterns.isEmpty()) patterns << QStringLiteral("*");
    // Parentheses would end the pattern list early; the shown text keeps its own.
    QString shown = text;
    shown.replace(QLatin1Char('('), QLatin1Char('[')).replace(QLatin1Char(')'), QLatin1Char(']'));
    return shown + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::string userPicturesFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString();
}

std::string userHomeFolder() { return QDir::homePath().toStdString(); }

bool isFolder(const std::string& path) { return QFileInfo(QString::fromStdString(path)).isDir(); }

std::string showOpenDialog(const OpenFileRequest& request) {
    QFileDialog dialog(nullptr);
    dialog.setObjectName(QStringLiteral("CommonDialog"));
    dialog.setWindowTitle(QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The toolkit's own dialog behaves alike on every desktop, and hides the pattern list.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(nameFilterFor(request.filter));
    if (!request.defaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    if (!request.fileName.empty()) {
        const QFileInfo last(QString::fromStdString(request.fileName));
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    } else if (!request.startFolder.empty()) {
        dialog.setDirectory(QString::fromStdString(request.startFolder));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw PlatformError(ErrCancel, "Cancel was selected.");
    return dialog.selectedFiles().front().toStdString();
}

std::string showFolderDialog(const std::string& start) {
    QFileDialog dialog(nullptr);
    dialog.setObjectName(QStringLiteral("FolderDialog"));
    dialog.setWindowTitle(QStringLiteral("Folder of pictures"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (!start.empty()) dialog.setDirectory(QString::fromStdString(start));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        throw PlatformError(ErrCancel, "Cancel was selected.");
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace mv::qt
