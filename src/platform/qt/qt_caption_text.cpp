#include "platform/qt/qt_caption_text.h"

#include <QDate>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QTime>

namespace mv::qt {

namespace {

// A caption is one line; a text far longer than any screen is cut before it is drawn.
constexpr int kMaxWidth = 16384;

}  // namespace

TextCoverage drawCaptionText(const std::string& utf8, int pixelSize) {
    TextCoverage out;
    if (utf8.empty() || pixelSize <= 0) return out;
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics metrics(font);
    const int w = std::min(kMaxWidth, metrics.horizontalAdvance(text) + 2);
    const int h = metrics.height();
    if (w <= 0 || h <= 0) return out;
    QImage image(w, h, QImage::Format_Alpha8);
    image.fill(0);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(QPoint(1, metrics.ascent()), text);
    }
    out.width = w;
    out.height = h;
    out.alpha.resize(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uchar* row = image.constScanLine(y);
        std::copy(row, row + w, out.alpha.begin() + static_cast<long>(y) * w);
    }
    return out;
}

std::string localeLongDatePattern() { return QLocale::system().dateFormat(QLocale::LongFormat).toStdString(); }

std::string localeDate(const std::string& pattern, int year, int month, int day) {
    const QDate date(year, month, day);
    if (!date.isValid()) return {};
    return QLocale::system().toString(date, QString::fromStdString(pattern)).toStdString();
}

std::string localeShortTimePattern() { return QLocale::system().timeFormat(QLocale::ShortFormat).toStdString(); }

std::string localeTime(const std::string& pattern, int hour, int minute) {
    return QLocale::system().toString(QTime(hour, minute), QString::fromStdString(pattern)).toStdString();
}

}  // namespace mv::qt
