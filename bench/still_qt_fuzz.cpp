// libFuzzer target for the Linux still-picture path: Qt's image readers behind the loader.
#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImageReader>
#include <QtGlobal>

#include <cstdlib>

#include "platform/qt/qt_still_decoder.h"
#include "still_fuzz.h"

namespace {

mv::fuzz::LoaderPlatform* platform = nullptr;

bool declaredSize(const uint8_t* data, size_t size, int64_t& w, int64_t& h) {
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!buffer.open(QIODevice::ReadOnly)) return false;
    QImageReader reader(&buffer);
    if (!reader.canRead()) return false;
    const QSize s = reader.size();
    w = s.width();
    h = s.height();
    return s.isValid();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Image format plugins are found through the application, as in the program itself.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    // The readers' complaints about broken files would be most of the output, and slow.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    static mv::fuzz::LoaderPlatform loader(mv::qt::decodeStill, declaredSize);
    platform = &loader;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    mv::fuzz::loadAndPaint(*platform, data, size);
    return 0;
}
