#include "platform/qt/qt_still_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <cstring>

#include "platform/error.h"

namespace mv::qt {

PicturePtr decodeStill(const std::vector<uint8_t>& bytes) {
    const auto refuse = [] { return PlatformError(ErrInvalidPicture, "Invalid picture"); };
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) throw refuse();
    // Wraps the bytes without copying them; they outlive the reader.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) throw refuse();
    QImageReader reader(&buffer);
    // Turning a photo by its Exif data is the portable loader's, as on every platform.
    reader.setAutoTransform(false);
    // A second line of defence for readers that cannot tell their size up front.
    QImageReader::setAllocationLimit(static_cast<int>(kMaxPicturePixels * 4 / (1024 * 1024)));
    if (!reader.canRead()) throw refuse();
    const QSize size = reader.size();
    if (!size.isValid() || size.width() <= 0 || size.height() <= 0 || size.width() > kMaxPictureSide ||
        size.height() > kMaxPictureSide || int64_t{size.width()} * size.height() > kMaxPicturePixels)
        throw refuse();
    QImage image;
    if (!reader.read(&image) || image.isNull()) throw refuse();
    // The pixels with their alpha as stored; the portable loader decides what stays transparent.
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) throw refuse();
    Bitmap bmp;
    bmp.resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bmp.row(y), image.constScanLine(y), static_cast<size_t>(image.width()) * 4);
    return std::make_shared<RgbPicture>(std::move(bmp));
}

}  // namespace mv::qt
