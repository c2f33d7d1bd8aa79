#include "platform/qt/qt_dialog_fonts.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QTextLayout>
#include <QTextOption>
#include <climits>

#include "platform/ui/dialog_geometry.h"

namespace mv::qt {

namespace {

// Whether the font database holds the family itself (under any foundry), not a stand-in.
bool installed(const QString& family) {
    const QString foundry = family + QStringLiteral(" [");
    for (const QString& name : QFontDatabase::families())
        if (name.compare(family, Qt::CaseInsensitive) == 0 || name.startsWith(foundry, Qt::CaseInsensitive))
            return true;
    return false;
}

}  // namespace

QFont dialogFont() {
    QFont font = QApplication::font();
    // Families about as wide as the classic dialog font and with compact lines, so captions
    // wrap where their designers expected; the toolkit's own sans serif is the last resort.
    for (const char* family : {"Liberation Sans", "Arimo", "DejaVu Sans Condensed"}) {
        if (installed(QString::fromLatin1(family))) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    }
    font.setPointSizeF(8.0);
    font.setBold(false);
    return font;
}

QStringList wrappedLines(const QString& text, const QFont& font, int width) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        QString part = text.mid(line.textStart(), line.textLength());
        while (part.endsWith(QLatin1Char(' '))) part.chop(1);
        lines << part;
    }
    layout.endLayout();
    return lines;
}

bool textFits(const QString& text, const QFont& font, int width, int height, bool wrap) {
    const QFontMetrics fm(font);
    if (!wrap) return fm.horizontalAdvance(text) <= width && fm.height() <= height;
    const QRect need = fm.boundingRect(QRect(0, 0, width, INT_MAX / 2), Qt::TextWordWrap, text);
    // A single word wider than the box would be broken inside the word: that counts as clipped.
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        if (fm.horizontalAdvance(word) > width) return false;
    return need.height() <= height;
}

QFont fittingFont(const QFont& font, const QString& text, int width, int height, bool wrap) {
    auto at = [&font](double pointSize) {
        QFont f = font;
        f.setPointSizeF(pointSize);
        return QFontMetrics(f);
    };
    const dialog::TextMeasure measure{
        [&](const std::wstring& s, double pt) { return at(pt).horizontalAdvance(QString::fromStdWString(s)); },
        [&](double pt) { return at(pt).height(); }};
    QFont f = font;
    f.setPointSizeF(dialog::fittingPointSize(text.toStdWString(), font.pointSizeF(), width, height, wrap, measure));
    return f;
}

}  // namespace mv::qt
