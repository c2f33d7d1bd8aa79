#include "platform/qt/qt_icon.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>

#include "platform/ui/app_icon.h"

namespace mv::qt {

QIcon appQIcon() {
    QIcon icon;
    for (const Bitmap& b : decodeIcon(appIconFile())) {
        const QImage image(reinterpret_cast<const uchar*>(b.pixels.data()), b.width, b.height, b.width * 4,
                           QImage::Format_ARGB32);
        icon.addPixmap(QPixmap::fromImage(image.copy()));
    }
    return icon;
}

void installAppIcon() { QApplication::setWindowIcon(appQIcon()); }

}  // namespace mv::qt
