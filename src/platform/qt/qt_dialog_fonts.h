#pragma once
#include <QFont>
#include <QString>
#include <QStringList>

namespace mv::qt {

// The dialogs' default font: an 8-point sans serif of the classic dialog font's width.
QFont dialogFont();

// The lines a word-wrapping label shows its text in, trailing blanks dropped.
QStringList wrappedLines(const QString& text, const QFont& font, int width);

// Whether text fits a box of width x height pixels, wrapped at word boundaries when `wrap`.
bool textFits(const QString& text, const QFont& font, int width, int height, bool wrap);

// The largest size of `font`, down to a legibility floor, at which text fits the box, as the
// dialogs of both builds choose it.
QFont fittingFont(const QFont& font, const QString& text, int width, int height, bool wrap);

}  // namespace mv::qt
