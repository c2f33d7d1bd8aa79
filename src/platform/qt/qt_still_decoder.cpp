#include "platform/qt/qt_still_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <atomic>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/error.h"
#include "platform/qt/qt_heif_decoder.h"
#include "platform/qt/qt_jxl_decoder.h"
#include "platform/picture/picture_kind.h"
#include "platform/qt/qt_webp_decoder.h"

namespace mv::qt {

namespace {

// The JPEG library says that a file's data ends early or is corrupt only in a warning, which Qt
// logs without the file's name and then goes on with the rest of the picture filled in. While a
// reader decodes on this thread such warnings are caught here instead, for the loader to report
// with the name; every other message goes its ordinary way.
thread_local bool* damageSeen = nullptr;
std::atomic<QtMessageHandler> passOn{nullptr};
std::mutex installing;

bool fromTheJpegReader(const QMessageLogContext& context, const QString& message) {
    if (!context.category || std::string_view(context.category) != "qt.gui.imageio.jpeg") return false;
    return message.startsWith(QLatin1String("Corrupt JPEG data")) || message.startsWith(QLatin1String("Premature end of JPEG file"));
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (damageSeen && fromTheJpegReader(context, message)) {
        // Padding before a marker, as some cameras write, leaves the picture whole.
        if (!message.contains(QLatin1String("extraneous bytes before marker"))) *damageSeen = true;
        return;
    }
    if (const QtMessageHandler next = passOn.load()) next(type, context, message);
}

// Installed again whenever another handler took its place, which then receives what passes.
void listenForDamage() {
    std::lock_guard lock(installing);
    const QtMessageHandler before = qInstallMessageHandler(onMessage);
    if (before != onMessage) passOn = before;
}

// Copies what a reader made into `bmp`, 32-bit with the alpha as stored.
void copyInto(Bitmap& bmp, QImage image) {
    // RGB32 is ARGB32 with every alpha 0xFF: the same bytes, no conversion needed.
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) throw PlatformError(ErrInvalidPicture, "Invalid picture");
    bmp.resize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(bmp.row(y), image.constScanLine(y), static_cast<size_t>(image.width()) * 4);
}

}  // namespace

PicturePtr decodeStill(const std::vector<uint8_t>& bytes, const DecodeFloor& floor) {
    const auto refuse = [] { return PlatformError(ErrInvalidPicture, "Invalid picture"); };
    if (bytes.empty() || bytes.size() > static_cast<size_t>(INT32_MAX)) throw refuse();
    // Today's photo formats go to their own libraries, whatever image plugins Qt has.
    switch (PictureKindOf(bytes.data(), bytes.size())) {
    case PictureKind::Heif: return decodeHeif(bytes, floor);
    case PictureKind::JpegXl: return decodeJxl(bytes, floor);
    case PictureKind::WebP: return decodeWebp(bytes, floor);
    default: break;
    }
    // Wraps the bytes without copying them; they outlive the reader.
    const QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    if (!buffer.open(QIODevice::ReadOnly)) throw refuse();
    bool damaged = false;
    listenForDamage();
    damageSeen = &damaged;
    struct Stop {
        ~Stop() { damageSeen = nullptr; }
    } stop;
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
    QSize decoded = size;
    const bool jpeg = reader.format() == "jpeg";
    // Only the JPEG reader scales inside the decoder; the others would read the whole picture
    // and resample it with a stretch of their own.
    if (floor && jpeg && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const int m = DecodeEighths(size.width(), size.height(), floor(size.width(), size.height()),
                                    {1, 2, 3, 4, 5, 6, 7, 8});
        if (m < 8) {
            decoded = QSize(static_cast<int>(int64_t{size.width()} * m / 8), static_cast<int>(int64_t{size.height()} * m / 8));
            reader.setScaledSize(decoded);
        }
    }
    // A colour JPEG comes out as RGB32, the bitmap's own layout: the reader fills the bitmap in
    // place when handed an image of the size and format it makes. Any other outcome is copied.
    Bitmap bmp;
    if (jpeg) bmp.resize(decoded.width(), decoded.height());
    {
        QImage image = jpeg ? QImage(reinterpret_cast<uchar*>(bmp.pixels.data()), decoded.width(), decoded.height(),
                                     static_cast<qsizetype>(decoded.width()) * 4, QImage::Format_RGB32)
                            : QImage();
        if (!reader.read(&image) || image.isNull()) throw refuse();
        if (!jpeg || image.constBits() != reinterpret_cast<const uchar*>(bmp.pixels.data()) ||
            image.size() != decoded || image.format() != QImage::Format_RGB32)
            copyInto(bmp, std::move(image));
    }
    return std::make_shared<RgbPicture>(std::move(bmp), damaged);
}

}  // namespace mv::qt
