#include "platform/qt/qt_hand_cursor.h"

#include <QImage>
#include <QPixmap>

#include "platform/ui/hand_cursor.h"

namespace mv::qt {

QCursor handQCursor() {
    const CursorPicture& c = handCursor();
    const QImage image(reinterpret_cast<const uchar*>(c.image.pixels.data()), c.image.width, c.image.height,
                       c.image.width * 4, QImage::Format_ARGB32);
    return QCursor(QPixmap::fromImage(image.copy()), c.hotX, c.hotY);
}

}  // namespace mv::qt
